// The streamed "Data" form of a bitmap.
#include "platform/exceptions.h"
#include "raster/bitmap32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TMemoryStream stream;
  stream.WriteBuffer(Data, int64_t(Size));
  stream.SetPosition(0);
  TBitmap32 bitmap;
  try {
    bitmap.ReadPixelData(stream);
  } catch (const Exception&) {
  }
  return 0;
}
