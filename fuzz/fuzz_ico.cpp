// Icon reader: any bytes must load or raise a platform exception, and what
// loads must draw.
#include "platform/canvas.h"
#include "platform/exceptions.h"
#include "platform/icon.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TMemoryStream stream;
  stream.WriteBuffer(Data, int64_t(Size));
  stream.SetPosition(0);
  TIcon icon;
  try {
    icon.LoadFromStream(stream);
  } catch (const Exception&) {
    return 0;
  }
  std::vector<uint32_t> pixels(32 * 32, 0xFF808080u);
  TCanvas canvas;
  canvas.SetHandle({pixels.data(), 32, 32});
  icon.Draw(canvas, {-5, 3, 40, 29});
  return 0;
}
