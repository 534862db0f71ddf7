#include "platform/icon.h"

#include "platform/canvas.h"
#include "platform/file_stream.h"
#include "platform/ico_codec.h"
#include "platform/picture.h"

#include <algorithm>

namespace {

// Straight-alpha source over the destination, rounded to nearest.
uint32_t BlendOver(uint32_t Src, uint32_t Dst) {
  const uint32_t a = Src >> 24;
  if (a == 255) return Src;
  if (a == 0) return Dst;
  uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t s = (Src >> shift) & 0xFF, d = (Dst >> shift) & 0xFF;
    result |= ((s * a + d * (255 - a) + 127) / 255) << shift;
  }
  const uint32_t da = Dst >> 24;
  return result | (a + (da * (255 - a) + 127) / 255) << 24;
}

}  // namespace

TIcon::TIcon() = default;
TIcon::~TIcon() = default;

void TIcon::LoadFromStream(TStream& Stream) {
  TByteBuffer data = ReadRemainingBytes(Stream);
  TDecodedIcon icon = DecodeIcon(data.Data(), data.Size);
  data_ = std::move(data);
  width_ = icon.Width;
  height_ = icon.Height;
  bitCount_ = icon.BitCount;
  alpha_ = icon.Alpha;
  pixels_ = std::move(icon.Pixels);
  mask_ = std::move(icon.Mask);
}

void TIcon::SaveToStream(TStream& Stream) {
  Stream.WriteBuffer(data_.Data(), int64_t(data_.Size));
}

void TIcon::Draw(TCanvas& Canvas, const TRect& Rect) {
  const TCanvasSurface& s = Canvas.Handle();
  if (Empty() || s.Bits == nullptr || s.Width <= 0 || s.Height <= 0) return;
  const int64_t rw = int64_t(Rect.Right) - Rect.Left, rh = int64_t(Rect.Bottom) - Rect.Top;
  if (rw <= 0 || rh <= 0) return;
  const int32_t left = std::max(Rect.Left, 0), top = std::max(Rect.Top, 0);
  const int32_t right = std::min(Rect.Right, s.Width), bottom = std::min(Rect.Bottom, s.Height);
  if (left >= right || top >= bottom) return;
  for (int32_t y = top; y < bottom; ++y) {
    const size_t sy = size_t((int64_t(y) - Rect.Top) * height_ / rh);
    uint32_t* out = s.Bits + ptrdiff_t(y) * s.Width;
    for (int32_t x = left; x < right; ++x) {
      const size_t i = sy * size_t(width_) + size_t((int64_t(x) - Rect.Left) * width_ / rw);
      const uint32_t colour = pixels_[i];
      if (alpha_)
        out[x] = BlendOver(colour, out[x]);
      else if (mask_[i] != 0)
        out[x] ^= colour;
      else
        out[x] = colour | 0xFF000000u;
    }
  }
  Canvas.Changed();
}

// Makes the reader known to the picture loader before the program's entry
// runs. The linker keeps this file for the symbol below (see CMakeLists.txt).
extern "C" const bool QuorvaneIconReaderRegistered =
    TPicture::RegisterFileFormat<TIcon>("ico", "Icons");
