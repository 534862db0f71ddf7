#pragma once

#include "platform/colors.h"
#include "platform/object.h"
#include "platform/rect.h"

#include <cstdint>
#include <memory>

class TGraphic;

// What a canvas draws on: a block of Width x Height 32-bit pixels, top row
// first, row stride exactly Width, the bytes of a pixel blue, green, red,
// alpha. The canvas never owns the block.
struct TCanvasSurface {
  uint32_t* Bits = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
};

// Drawing onto a pixel block. Shapes are aliased, as on the platform's
// drawing functions; pixel copies put every byte, alpha included, in place
// unchanged. Each drawing operation fires OnChange once. Without a surface
// (or on an empty one) drawing does nothing.
class TCanvas : public TObject {
public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  const char* ClassName() const override { return "TCanvas"; }

  void SetHandle(const TCanvasSurface& Surface) { surface_ = Surface; }
  const TCanvasSurface& Handle() const { return surface_; }
  bool HandleAllocated() const { return surface_.Bits != nullptr; }

  TColor BrushColor = clWhite;
  TColor PenColor = clBlack;

  void FillRect(const TRect& Rect);
  void Rectangle(const TRect& Rect);
  void Ellipse(const TRect& Rect);
  // A dotted frame that inverts the pixels under it; drawing it twice
  // restores them.
  void DrawFocusRect(const TRect& Rect);

  void Draw(int32_t X, int32_t Y, TGraphic* Graphic);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);

  // Puts a Width x Height block of pixels into Dest, scaled to it by nearest
  // pixel. With Opaque the alpha bytes arrive as 255, else unchanged.
  void CopyPixels(const TRect& Dest, const uint32_t* Pixels, int32_t Width, int32_t Height,
                  bool Opaque = false);
  // The same, opaque, leaving out the pixels whose colour (alpha aside)
  // equals KeyColor, a pixel value.
  void CopyPixelsExcept(const TRect& Dest, const uint32_t* Pixels, int32_t Width, int32_t Height,
                        uint32_t KeyColor);
  // Source's pixels in SourceRect put into Dest of this canvas.
  void CopyRect(const TRect& Dest, const TCanvas& Source, const TRect& SourceRect);

  TNotifyEvent OnChange;
  // Fires OnChange; for graphics that write the surface's pixels themselves.
  void Changed();

private:

  TCanvasSurface surface_;
};
