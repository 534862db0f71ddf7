// Metafile readers: any bytes must load or raise a platform exception, and
// what loads must play without failing.
#include "platform/canvas.h"
#include "platform/exceptions.h"
#include "platform/metafile.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TMemoryStream stream;
  stream.WriteBuffer(Data, int64_t(Size));
  stream.SetPosition(0);
  TMetafile metafile;
  try {
    metafile.LoadFromStream(stream);
  } catch (const Exception&) {
    return 0;
  }
  std::vector<uint32_t> pixels(64 * 64, 0xFFFFFFFFu);
  TCanvas canvas;
  canvas.SetHandle({pixels.data(), 64, 64});
  metafile.Draw(canvas, {0, 0, 64, 64});
  return 0;
}
