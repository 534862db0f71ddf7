#pragma once

#include "platform/canvas.h"
#include "platform/colors.h"
#include "platform/graphic.h"
#include "platform/memory_block.h"

#include <cstdint>
#include <memory>
#include <vector>

// pf15bit is kept for callers that name it; it is the same as pf16bit here.
enum TPixelFormat : uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };
enum TTransparentMode : uint8_t { tmAuto, tmFixed };

int BitsPerPixel(TPixelFormat Format);

// The platform bitmap. Whatever its pixel format, its pixels are held as a
// block of 32-bit values (blue, green, red, alpha bytes), top row first,
// that its canvas draws on. In a format of fewer than 32 bits every pixel is
// opaque and has a colour the format can hold: a palette entry for 1, 4 and
// 8 bits, 5-6-5 bits for 16. Changing the format converts the pixels.
class TBitmap : public TGraphic {
public:
  TBitmap();
  ~TBitmap() override;

  const char* ClassName() const override { return "TBitmap"; }

  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  // Keeps the pixels that stay inside; new pixels are black (and fully
  // transparent in the 32-bit format). A negative size counts as 0.
  void SetWidth(int32_t Value) { SetSize(Value, height_); }
  void SetHeight(int32_t Value) { SetSize(width_, Value); }
  void SetSize(int32_t NewWidth, int32_t NewHeight);

  // pfDevice reads as pf32bit once set; pf15bit as pf16bit.
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat Value);

  // The palette of an indexed format: at most 2^bits pixel values.
  const std::vector<uint32_t>& Palette() const { return palette_; }
  // Replaces the palette of an indexed format and maps the pixels to it.
  void SetPalette(std::vector<uint32_t> Palette);

  // The canvas on the pixels; it stays valid until the size changes.
  TCanvas* Canvas();

  bool Transparent = false;
  TTransparentMode TransparentMode = tmAuto;
  // In tmAuto the colour of the bottom-left pixel, else the one set.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor Value);

  uint32_t* ScanLine(int32_t Y) { return pixels_.get() + ptrdiff_t(Y) * width_; }
  const uint32_t* Pixels() const { return pixels_.get(); }

  // A platform bitmap source is copied (pixels, format, palette and
  // transparency); any other source is asked to assign itself.
  void Assign(TPersistent* Source) override;

  // Drawn scaled by nearest pixel; with Transparent set the pixels of the
  // transparent colour are left out.
  void Draw(TCanvas& Canvas, const TRect& Rect) override;

  // Reads BMP data. A zero-length stream gives an empty bitmap.
  void LoadFromStream(TStream& Stream) override;
  // Writes BMP data in the bitmap's pixel format; an empty bitmap writes
  // nothing.
  void SaveToStream(TStream& Stream) override;

  // Takes over decoded pixels: Width x Height values in the given format.
  void TakePixels(int32_t Width, int32_t Height, TPixelFormat Format,
                  TBlock<uint32_t> Pixels, std::vector<uint32_t> Palette = {});

private:
  void PointCanvas();

  int32_t width_ = 0;
  int32_t height_ = 0;
  TPixelFormat pixelFormat_ = pf32bit;
  TBlock<uint32_t> pixels_;
  std::vector<uint32_t> palette_;
  std::unique_ptr<TCanvas> canvas_;
  TColor transparentColor_ = clBlack;
};
