// JPEG reader: header read at load, decode on demand; the first byte also
// picks the quantising (8-bit screen) path or the 24-bit one.
#include "platform/exceptions.h"
#include "platform/jpeg_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  SetScreenBitsPerPixelForTesting(Size > 0 && (Data[0] & 1) ? 8 : 32);
  TMemoryStream stream;
  stream.WriteBuffer(Data, int64_t(Size));
  stream.SetPosition(0);
  TJPEGImage image;
  try {
    image.LoadFromStream(stream);
    image.Bitmap();
  } catch (const Exception&) {
  }
  return 0;
}
