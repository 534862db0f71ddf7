#include "platform/bitmap.h"

#include "platform/bmp_codec.h"
#include "platform/file_stream.h"
#include "platform/graphic_errors.h"

#include <algorithm>
#include <new>
#include <unordered_map>

namespace {

constexpr uint32_t kOpaqueBlack = 0xFF000000u;

uint32_t Rgb(uint32_t R, uint32_t G, uint32_t B) { return kOpaqueBlack | R << 16 | G << 8 | B; }

std::vector<uint32_t> DefaultPalette(int Bits) {
  if (Bits == 1) return {Rgb(0, 0, 0), Rgb(255, 255, 255)};
  if (Bits == 4)
    return {Rgb(0, 0, 0),       Rgb(128, 0, 0),   Rgb(0, 128, 0),   Rgb(128, 128, 0),
            Rgb(0, 0, 128),     Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(192, 192, 192),
            Rgb(128, 128, 128), Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(255, 255, 0),
            Rgb(0, 0, 255),     Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255)};
  // A 6 x 6 x 6 colour cube and 40 greys between its levels.
  std::vector<uint32_t> palette;
  for (uint32_t r = 0; r < 6; ++r)
    for (uint32_t g = 0; g < 6; ++g)
      for (uint32_t b = 0; b < 6; ++b) palette.push_back(Rgb(r * 51, g * 51, b * 51));
  for (uint32_t i = 1; i <= 40; ++i) {
    const uint32_t v = i * 255 / 41;
    palette.push_back(Rgb(v, v, v));
  }
  return palette;
}

uint32_t Nearest(const std::vector<uint32_t>& Palette, uint32_t Pixel) {
  uint32_t best = Palette.front();
  int64_t bestDistance = INT64_MAX;
  for (uint32_t c : Palette) {
    int64_t d = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const int64_t delta = int64_t((c >> shift) & 0xFF) - int64_t((Pixel >> shift) & 0xFF);
      d += delta * delta;
    }
    if (d < bestDistance) {
      bestDistance = d;
      best = c;
    }
  }
  return best;
}

void MapToPalette(uint32_t* Pixels, size_t Count, const std::vector<uint32_t>& Palette) {
  std::unordered_map<uint32_t, uint32_t> cache;
  for (size_t i = 0; i < Count; ++i) {
    const uint32_t key = Pixels[i] | kOpaqueBlack;
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.emplace(key, Nearest(Palette, key)).first;
    Pixels[i] = it->second;
  }
}

// Stretched back to 0..255 the way the BMP reader stretches bit fields, so
// that a saved 16-bit bitmap reads back unchanged.
uint32_t To565(uint32_t P) {
  const uint32_t r = (P >> 19) & 31, g = (P >> 10) & 63, b = (P >> 3) & 31;
  return Rgb((r * 255 + 15) / 31, (g * 255 + 31) / 63, (b * 255 + 15) / 31);
}

TBlock<uint32_t> AllocatePixels(int32_t Width, int32_t Height) {
  try {
    return AllocateBlock<uint32_t>(size_t(Width) * size_t(Height));
  } catch (const std::bad_alloc&) {
    throw Exception("Not enough memory for a bitmap of " + std::to_string(Width) + " x " +
                    std::to_string(Height) + " pixels");
  }
}

}  // namespace

int BitsPerPixel(TPixelFormat Format) {
  switch (Format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
  }
}

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int32_t NewWidth, int32_t NewHeight) {
  NewWidth = std::max(NewWidth, 0);
  NewHeight = std::max(NewHeight, 0);
  if (NewWidth == width_ && NewHeight == height_) return;
  TBlock<uint32_t> fresh;
  if (NewWidth > 0 && NewHeight > 0) {
    fresh = AllocatePixels(NewWidth, NewHeight);
    const uint32_t blank = pixelFormat_ == pf32bit ? 0 : kOpaqueBlack;
    std::fill_n(fresh.get(), size_t(NewWidth) * size_t(NewHeight), blank);
    const int32_t w = std::min(width_, NewWidth), h = std::min(height_, NewHeight);
    for (int32_t y = 0; y < h; ++y)
      std::copy_n(ScanLine(y), w, fresh.get() + ptrdiff_t(y) * NewWidth);
  }
  pixels_ = std::move(fresh);
  width_ = NewWidth;
  height_ = NewHeight;
  PointCanvas();
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == pfDevice) Value = pf32bit;
  if (Value == pf15bit) Value = pf16bit;
  if (Value == pixelFormat_) return;
  const size_t count = size_t(width_) * size_t(height_);
  const int bits = BitsPerPixel(Value);
  if (bits <= 8) {
    if (palette_.empty() || palette_.size() > (size_t(1) << bits)) palette_ = DefaultPalette(bits);
    MapToPalette(pixels_.get(), count, palette_);
  } else {
    palette_.clear();
    if (bits == 16)
      std::transform(pixels_.get(), pixels_.get() + count, pixels_.get(), To565);
    else if (bits == 24)
      for (size_t i = 0; i < count; ++i) pixels_[i] |= kOpaqueBlack;
  }
  pixelFormat_ = Value;
}

void TBitmap::SetPalette(std::vector<uint32_t> Palette) {
  const int bits = BitsPerPixel(pixelFormat_);
  if (bits > 8 || Palette.empty()) return;
  Palette.resize(std::min(Palette.size(), size_t(1) << bits));
  for (uint32_t& c : Palette) c |= kOpaqueBlack;
  palette_ = std::move(Palette);
  MapToPalette(pixels_.get(), size_t(width_) * size_t(height_), palette_);
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TCanvas>();
    PointCanvas();
  }
  return canvas_.get();
}

void TBitmap::PointCanvas() {
  if (canvas_) canvas_->SetHandle(TCanvasSurface{pixels_.get(), width_, height_});
}

TColor TBitmap::TransparentColor() const {
  if (TransparentMode == tmFixed || Empty()) return transparentColor_;
  const uint32_t p = pixels_[ptrdiff_t(height_ - 1) * width_];
  return TColor(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}

void TBitmap::SetTransparentColor(TColor Value) {
  transparentColor_ = Value;
  TransparentMode = tmFixed;
}

void TBitmap::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    SetSize(0, 0);
    return;
  }
  auto* source = dynamic_cast<TBitmap*>(Source);
  if (source == nullptr) {
    TGraphic::Assign(Source);
    return;
  }
  if (source == this) return;
  TBlock<uint32_t> copy;
  if (!source->Empty()) {
    copy = AllocatePixels(source->width_, source->height_);
    std::copy_n(source->pixels_.get(), size_t(source->width_) * size_t(source->height_), copy.get());
  }
  TakePixels(source->width_, source->height_, source->pixelFormat_, std::move(copy), source->palette_);
  Transparent = source->Transparent;
  TransparentMode = source->TransparentMode;
  transparentColor_ = source->transparentColor_;
}

void TBitmap::TakePixels(int32_t Width, int32_t Height, TPixelFormat Format,
                         TBlock<uint32_t> Pixels, std::vector<uint32_t> Palette) {
  if (Width <= 0 || Height <= 0 || !Pixels) {
    Width = Height = 0;
    Pixels.reset();
  }
  width_ = Width;
  height_ = Height;
  pixels_ = std::move(Pixels);
  pixelFormat_ = Format == pfDevice ? pf32bit : Format == pf15bit ? pf16bit : Format;
  palette_ = BitsPerPixel(pixelFormat_) <= 8 ? std::move(Palette) : std::vector<uint32_t>{};
  if (BitsPerPixel(pixelFormat_) <= 8 && palette_.empty())
    palette_ = DefaultPalette(BitsPerPixel(pixelFormat_));
  PointCanvas();
}

void TBitmap::Draw(TCanvas& Canvas, const TRect& Rect) {
  if (Empty()) return;
  if (Transparent) {
    const TColor color = TransparentColor();
    const uint32_t key = color < 0 ? GetSysColor(color & 0xFF) : uint32_t(color);
    const uint32_t keyPixel = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
    Canvas.CopyPixelsExcept(Rect, pixels_.get(), width_, height_, keyPixel);
  } else {
    Canvas.CopyPixels(Rect, pixels_.get(), width_, height_);
  }
}

void TBitmap::LoadFromStream(TStream& Stream) {
  const TByteBuffer bytes = ReadRemainingBytes(Stream);
  if (bytes.Empty()) {
    TakePixels(0, 0, pixelFormat_, nullptr);
    return;
  }
  TDecodedBmp decoded = DecodeBmp(bytes.Data(), bytes.Size);
  TakePixels(decoded.Width, decoded.Height, decoded.Format, std::move(decoded.Pixels),
             std::move(decoded.Palette));
}

void TBitmap::SaveToStream(TStream& Stream) { EncodeBmp(*this, Stream); }
