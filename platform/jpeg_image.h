#pragma once

#include "platform/bitmap.h"
#include "platform/graphic.h"
#include "platform/memory_block.h"

#include <cstdint>
#include <memory>
#include <vector>

// The JPEG reader. Loading keeps the file's bytes and reads only the
// header (the size); the picture is decoded when it is first drawn or its
// bitmap is asked for. A zero-length file is an empty picture. Errors are
// EJPEG, "JPEG-Fehler #%d" with the library's message number.
class TJPEGImage : public TGraphic {
public:
  TJPEGImage();
  ~TJPEGImage() override;

  const char* ClassName() const override { return "TJPEGImage"; }

  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  bool Grayscale() const { return grayscale_; }

  void Draw(TCanvas& Canvas, const TRect& Rect) override;
  bool DrawsOpaque() const override { return true; }

  void LoadFromStream(TStream& Stream) override;
  // Writes the file's bytes as they were loaded.
  void SaveToStream(TStream& Stream) override;

  // The decoded picture (24 bits, or 8 bits with the decoder's colour map).
  const TBitmap& Bitmap();

private:
  TByteBuffer data_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool grayscale_ = false;
  std::unique_ptr<TBitmap> bitmap_;
};

// The colour depth of the screen, found once: the first time it is needed,
// from the application's primary screen; without a display it counts as 32.
int ScreenBitsPerPixel();
// Test seam: makes ScreenBitsPerPixel return Bits (0 finds it again).
void SetScreenBitsPerPixelForTesting(int Bits);
