#include "raster/bitmap32.h"
#include "raster/blend.h"

void TBitmap32::StorePixel(int32_t X, int32_t Y, TColor32 Value) {
  PixelInPlaceRoutines[CombineMode()](Value, PixelAddress(X, Y));
  ClearMMXState();
}
