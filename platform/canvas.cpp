#include "platform/canvas.h"

#include "platform/graphic.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

// The block as the image Qt paints on, without a copy. Its bytes are taken
// as they are (premultiplied format), so a source-mode copy moves every byte
// unchanged, whatever the alpha.
QImage WrapSurface(const TCanvasSurface& Surface) {
  return QImage(reinterpret_cast<uchar*>(Surface.Bits), Surface.Width, Surface.Height,
                qsizetype(Surface.Width) * 4, QImage::Format_ARGB32_Premultiplied);
}

QColor ToQColor(TColor Color) {
  const auto value = uint32_t(Color);
  return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// Our rectangles exclude Right and Bottom; Qt's filled shapes cover exactly
// the pixels of a QRect built from them.
QRect ToQRect(const TRect& Rect) {
  return QRect(Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top);
}

bool Drawable(const TCanvasSurface& Surface) {
  return Surface.Bits != nullptr && Surface.Width > 0 && Surface.Height > 0;
}

// An aliased painter on the surface for the length of one operation.
class TSurfacePainter {
public:
  explicit TSurfacePainter(const TCanvasSurface& Surface)
      : image_(WrapSurface(Surface)), painter_(&image_) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
  }
  QPainter* operator->() { return &painter_; }

private:
  QImage image_;
  QPainter painter_;
};

}  // namespace

TCanvas::TCanvas() = default;
TCanvas::~TCanvas() = default;

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::FillRect(const TRect& Rect) {
  if (!Drawable(surface_)) return;
  {
    TSurfacePainter painter(surface_);
    painter->fillRect(ToQRect(Rect), ToQColor(BrushColor));
  }
  Changed();
}

void TCanvas::Rectangle(const TRect& Rect) {
  if (!Drawable(surface_)) return;
  {
    TSurfacePainter painter(surface_);
    painter->setPen(ToQColor(PenColor));
    painter->setBrush(ToQColor(BrushColor));
    // A pen rectangle covers its right and bottom edge pixels too.
    painter->drawRect(ToQRect(Rect).adjusted(0, 0, -1, -1));
  }
  Changed();
}

void TCanvas::Ellipse(const TRect& Rect) {
  if (!Drawable(surface_)) return;
  {
    TSurfacePainter painter(surface_);
    painter->setPen(ToQColor(PenColor));
    painter->setBrush(ToQColor(BrushColor));
    painter->drawEllipse(ToQRect(Rect).adjusted(0, 0, -1, -1));
  }
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  if (!Drawable(surface_)) return;
  const TRect clip{std::max(Rect.Left, 0), std::max(Rect.Top, 0), std::min(Rect.Right, surface_.Width),
                   std::min(Rect.Bottom, surface_.Height)};
  if (clip.Left >= clip.Right || clip.Top >= clip.Bottom) return;
  auto invert = [&](int32_t x, int32_t y) {
    if (x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom && ((x + y) & 1) == 0)
      surface_.Bits[ptrdiff_t(y) * surface_.Width + x] ^= 0x00FFFFFFu;
  };
  // The frame's edges, walked only where they cross the surface.
  for (int32_t x = clip.Left; x < clip.Right; ++x) {
    invert(x, Rect.Top);
    if (Rect.Bottom - 1 > Rect.Top) invert(x, Rect.Bottom - 1);
  }
  for (int32_t y = std::max(Rect.Top + 1, clip.Top); y < std::min(Rect.Bottom - 1, clip.Bottom); ++y) {
    invert(Rect.Left, y);
    if (Rect.Right - 1 > Rect.Left) invert(Rect.Right - 1, y);
  }
  Changed();
}

void TCanvas::Draw(int32_t X, int32_t Y, TGraphic* Graphic) {
  if (Graphic == nullptr || Graphic->Empty()) return;
  Graphic->Draw(*this, TRect{X, Y, X + Graphic->Width(), Y + Graphic->Height()});
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (Graphic == nullptr || Graphic->Empty()) return;
  Graphic->Draw(*this, Rect);
}

void TCanvas::CopyPixels(const TRect& Dest, const uint32_t* Pixels, int32_t Width, int32_t Height,
                         bool Opaque) {
  if (!Drawable(surface_) || Pixels == nullptr || Width <= 0 || Height <= 0) return;
  if (Dest.Left >= Dest.Right || Dest.Top >= Dest.Bottom) return;
  const bool unscaled = Dest.Right - Dest.Left == Width && Dest.Bottom - Dest.Top == Height;
  if (unscaled && !Opaque && Dest.Left == 0 && Dest.Top == 0 && Width == surface_.Width &&
      Height <= surface_.Height) {
    // The whole-width copy of a converter: one block move.
    std::copy_n(Pixels, size_t(Width) * size_t(Height), surface_.Bits);
  } else {
    std::vector<uint32_t> opaque;
    const uint32_t* source = Pixels;
    if (Opaque) {
      opaque.assign(Pixels, Pixels + size_t(Width) * size_t(Height));
      for (uint32_t& p : opaque) p |= 0xFF000000u;
      source = opaque.data();
    }
    const QImage image(reinterpret_cast<const uchar*>(source), Width, Height, qsizetype(Width) * 4,
                       QImage::Format_ARGB32_Premultiplied);
    TSurfacePainter painter(surface_);
    painter->setCompositionMode(QPainter::CompositionMode_Source);
    painter->drawImage(ToQRect(Dest), image);
  }
  Changed();
}

void TCanvas::CopyPixelsExcept(const TRect& Dest, const uint32_t* Pixels, int32_t Width,
                               int32_t Height, uint32_t KeyColor) {
  if (!Drawable(surface_) || Pixels == nullptr || Width <= 0 || Height <= 0) return;
  if (Dest.Left >= Dest.Right || Dest.Top >= Dest.Bottom) return;
  // Key pixels become fully transparent black, which a source-over draw
  // leaves out; every other pixel is opaque and replaces what is there.
  std::vector<uint32_t> masked(Pixels, Pixels + size_t(Width) * size_t(Height));
  for (uint32_t& p : masked) p = (p & 0x00FFFFFFu) == (KeyColor & 0x00FFFFFFu) ? 0 : p | 0xFF000000u;
  const QImage image(reinterpret_cast<const uchar*>(masked.data()), Width, Height,
                     qsizetype(Width) * 4, QImage::Format_ARGB32_Premultiplied);
  {
    TSurfacePainter painter(surface_);
    painter->drawImage(ToQRect(Dest), image);
  }
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, const TCanvas& Source, const TRect& SourceRect) {
  const TCanvasSurface& from = Source.surface_;
  if (!Drawable(surface_) || !Drawable(from)) return;
  if (Dest.Left >= Dest.Right || Dest.Top >= Dest.Bottom) return;
  const QImage image(reinterpret_cast<const uchar*>(from.Bits), from.Width, from.Height,
                     qsizetype(from.Width) * 4, QImage::Format_ARGB32_Premultiplied);
  {
    TSurfacePainter painter(surface_);
    painter->setCompositionMode(QPainter::CompositionMode_Source);
    painter->drawImage(ToQRect(Dest), image, ToQRect(SourceRect));
  }
  Changed();
}
