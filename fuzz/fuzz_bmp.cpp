// BMP reader: any bytes must load or raise a platform exception.
#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "raster/bitmap32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TMemoryStream stream;
  stream.WriteBuffer(Data, int64_t(Size));
  stream.SetPosition(0);
  TBitmap bitmap;
  try {
    bitmap.LoadFromStream(stream);
    TBitmap32 converted;
    converted.Assign(&bitmap);
  } catch (const Exception&) {
  }
  return 0;
}
