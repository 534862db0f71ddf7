#include "platform/metafile_player.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <optional>
#include <variant>
#include <vector>

namespace {

enum : int32_t { MM_TEXT = 1, MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH, MM_HIENGLISH, MM_TWIPS,
                 MM_ISOTROPIC, MM_ANISOTROPIC };
enum : uint32_t { PS_SOLID = 0, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL };
enum : uint32_t { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2 };
constexpr uint32_t kStockFlag = 0x80000000u;
constexpr uint32_t kTransparent = 1, kWinding = 2, kClockwise = 2;
// Deeper nesting of saved states than any real file uses is ignored.
constexpr size_t kMaxSavedStates = 4096;
constexpr double kMaxPenWidth = 16384;
// Scales and extents past this come only from repeated scaling records;
// they are refused so that coordinates stay finite.
constexpr double kMaxScale = 1e9;

bool Sane(double V) { return std::isfinite(V) && std::abs(V) <= kMaxScale; }

bool Sane(const QTransform& T) {
  for (double v : {T.m11(), T.m12(), T.m21(), T.m22(), T.dx(), T.dy()})
    if (!Sane(v)) return false;
  return true;
}

struct TOther {};
using TGdiObject = std::variant<TGdiPen, TGdiBrush, TOther>;

struct TDcState {
  int32_t MapMode = MM_TEXT;
  TGdiPoint WindowOrg, ViewportOrg;
  TGdiPoint WindowExt{1, 1}, ViewportExt{1, 1};
  QTransform World;
  TGdiPen Pen{PS_SOLID, 0, 0};
  TGdiBrush Brush{BS_SOLID, 0xFFFFFF, 0};
  uint32_t BkMode = 2;
  uint32_t BkColor = 0xFFFFFF;
  uint32_t FillMode = 1;
  uint32_t ArcDirection = 1;
  TGdiPoint Position;
};

QColor ToQColor(uint32_t ColorRef) {
  return QColor(int(ColorRef & 0xFF), int((ColorRef >> 8) & 0xFF), int((ColorRef >> 16) & 0xFF));
}

double FixedUnitsPerInch(int32_t Mode) {
  switch (Mode) {
    case MM_LOMETRIC: return 254;
    case MM_HIMETRIC: return 2540;
    case MM_LOENGLISH: return 100;
    case MM_HIENGLISH: return 1000;
    case MM_TWIPS: return 1440;
    default: return 0;
  }
}

// Degrees of the parametric angle at which the line from the box's centre
// to P meets the ellipse, counter-clockwise on screen from three o'clock.
double EllipseAngle(const QRectF& Box, const TGdiPoint& P) {
  const double rx = Box.width() / 2, ry = Box.height() / 2;
  const double dx = P.X - Box.center().x(), dy = Box.center().y() - P.Y;
  if (rx <= 0 || ry <= 0 || (dx == 0 && dy == 0)) return 0;
  return std::atan2(dy / ry, dx / rx) * 180 / M_PI;
}

class TMetafilePainter : public TGdiSink {
public:
  TMetafilePainter(QPainter& Painter, const TMetafileHeader& Header, const TRect& Rect)
      : painter_(Painter), header_(Header), objects_(std::max<uint32_t>(Header.Handles, 1)) {
    const TGdiBox& f = Header.Frame;
    const double fw = f.Right - f.Left, fh = f.Bottom - f.Top;
    const double sx = fw != 0 ? (double(Rect.Right) - Rect.Left) / fw : 0;
    const double sy = fh != 0 ? (double(Rect.Bottom) - Rect.Top) / fh : 0;
    toCanvas_ = QTransform(sx, 0, 0, sy, Rect.Left - f.Left * sx, Rect.Top - f.Top * sy);
    if (Header.WindowOnFrame) {
      const TGdiBox& w = Header.WindowBox;
      dc_.MapMode = MM_ANISOTROPIC;
      dc_.WindowOrg = {w.Left, w.Top};
      dc_.WindowExt = {w.Right - w.Left, w.Bottom - w.Top};
      dc_.ViewportOrg = {f.Left, f.Top};
      dc_.ViewportExt = {fw, fh};
    }
    painter_.setRenderHint(QPainter::Antialiasing, false);
  }

  void CreatePen(int64_t Index, const TGdiPen& Pen) override { Store(Index, Pen); }
  void CreateBrush(int64_t Index, const TGdiBrush& Brush) override { Store(Index, Brush); }
  void CreateOther(int64_t Index) override { Store(Index, TOther{}); }
  void DeleteObject(uint32_t Index) override {
    if (Index < objects_.size()) objects_[Index].reset();
  }
  void SelectObject(uint32_t Index) override {
    if (Index & kStockFlag) return SelectStockObject(Index & ~kStockFlag);
    if (Index >= objects_.size() || !objects_[Index]) return;
    if (auto* pen = std::get_if<TGdiPen>(&*objects_[Index])) dc_.Pen = *pen;
    if (auto* brush = std::get_if<TGdiBrush>(&*objects_[Index])) dc_.Brush = *brush;
  }
  void SelectStockObject(uint32_t Id) override {
    static const uint32_t greys[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
    if (Id <= 4) dc_.Brush = {BS_SOLID, greys[Id], 0};
    else if (Id == 5) dc_.Brush = {BS_NULL, 0, 0};
    else if (Id == 6) dc_.Pen = {PS_SOLID, 0, 0xFFFFFF};
    else if (Id == 7) dc_.Pen = {PS_SOLID, 0, 0};
    else if (Id == 8) dc_.Pen = {PS_NULL, 0, 0};
  }

  void SetMapMode(int32_t Mode) override {
    if (Mode >= MM_TEXT && Mode <= MM_ANISOTROPIC) dc_.MapMode = Mode;
  }
  void SetWindowOrg(double X, double Y) override { dc_.WindowOrg = {X, Y}; }
  void SetViewportOrg(double X, double Y) override { dc_.ViewportOrg = {X, Y}; }
  void OffsetWindowOrg(double X, double Y) override { dc_.WindowOrg = {dc_.WindowOrg.X + X, dc_.WindowOrg.Y + Y}; }
  void OffsetViewportOrg(double X, double Y) override {
    dc_.ViewportOrg = {dc_.ViewportOrg.X + X, dc_.ViewportOrg.Y + Y};
  }
  // Zero extents are refused, as the platform refuses them.
  void SetWindowExt(double X, double Y) override {
    if (X != 0 && Y != 0 && Sane(X) && Sane(Y)) dc_.WindowExt = {X, Y};
  }
  void SetViewportExt(double X, double Y) override {
    if (X != 0 && Y != 0 && Sane(X) && Sane(Y)) dc_.ViewportExt = {X, Y};
  }
  void ScaleWindowExt(double XNum, double XDenom, double YNum, double YDenom) override {
    if (XDenom != 0 && YDenom != 0) SetWindowExt(dc_.WindowExt.X * XNum / XDenom, dc_.WindowExt.Y * YNum / YDenom);
  }
  void ScaleViewportExt(double XNum, double XDenom, double YNum, double YDenom) override {
    if (XDenom != 0 && YDenom != 0)
      SetViewportExt(dc_.ViewportExt.X * XNum / XDenom, dc_.ViewportExt.Y * YNum / YDenom);
  }
  void ModifyWorldTransform(const double (&M)[6], uint32_t Mode) override {
    const QTransform m(M[0], M[1], M[2], M[3], M[4], M[5]);
    QTransform world = dc_.World;
    if (Mode == 1) world = QTransform();
    else if (Mode == 2) world = m * dc_.World;
    else if (Mode == 3) world = dc_.World * m;
    else if (Mode == 4) world = m;
    if (Sane(world) && world.isInvertible()) dc_.World = world;
  }

  void SaveDC() override {
    if (saved_.size() < kMaxSavedStates) saved_.push_back(dc_);
  }
  // Negative: that many states back; positive: the state of that number.
  void RestoreDC(int32_t Which) override {
    const int64_t keep = Which < 0 ? int64_t(saved_.size()) + Which : int64_t(Which) - 1;
    if (keep < 0 || keep >= int64_t(saved_.size())) return;
    dc_ = saved_[size_t(keep)];
    saved_.resize(size_t(keep));
  }

  void SetBkMode(uint32_t Mode) override { dc_.BkMode = Mode; }
  void SetBkColor(uint32_t Color) override { dc_.BkColor = Color; }
  void SetPolyFillMode(uint32_t Mode) override { dc_.FillMode = Mode; }
  void SetArcDirection(uint32_t Direction) override { dc_.ArcDirection = Direction; }

  void MoveTo(const TGdiPoint& P) override {
    dc_.Position = P;
    if (inPath_) path_.moveTo(ToDevice().map(QPointF(P.X, P.Y)));
  }
  void LineTo(const TGdiPoint& P) override { Polyline({P}, true); }
  void SetPixel(const TGdiPoint& P, uint32_t Color) override {
    if (inPath_) return;
    const QPointF d = ToDevice().map(QPointF(P.X, P.Y));
    painter_.fillRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1), ToQColor(Color));
  }

  void Rectangle(const TGdiBox& B) override {
    BoxShape(B, [](QPainterPath& P, const QRectF& R) { P.addRect(R); });
  }
  void Ellipse(const TGdiBox& B) override {
    BoxShape(B, [](QPainterPath& P, const QRectF& R) { P.addEllipse(R); });
  }
  void RoundRect(const TGdiBox& B, double CornerWidth, double CornerHeight) override {
    const QTransform t = ToDevice();
    const double rx = std::abs(CornerWidth * std::hypot(t.m11(), t.m12())) / 2;
    const double ry = std::abs(CornerHeight * std::hypot(t.m21(), t.m22())) / 2;
    BoxShape(B, [&](QPainterPath& P, const QRectF& R) {
      P.addRoundedRect(R, std::min(rx, R.width() / 2), std::min(ry, R.height() / 2));
    });
  }

  void Arc(TGdiArcKind Kind, const TGdiBox& B, const TGdiPoint& Start, const TGdiPoint& End) override {
    const QRectF box = QRectF(QPointF(B.Left, B.Top), QPointF(B.Right, B.Bottom)).normalized();
    const double from = EllipseAngle(box, Start);
    double sweep = EllipseAngle(box, End) - from;
    // Counter-clockwise on the device, which is the other way round in
    // logical units when the mapping turns the y axis over.
    const bool counterClockwise = (dc_.ArcDirection != kClockwise) != (ToDevice().determinant() < 0);
    if (counterClockwise) {
      while (sweep <= 0) sweep += 360;
    } else {
      while (sweep >= 0) sweep -= 360;
    }
    QPainterPath logical;
    if (Kind == akPie) logical.moveTo(box.center());
    else logical.arcMoveTo(box, from);
    logical.arcTo(box, from, sweep);
    if (Kind == akChord || Kind == akPie) logical.closeSubpath();
    const QPainterPath device = ToDevice().map(logical);
    if (Kind == akArcTo) {
      QPainterPath joined;
      joined.moveTo(ToDevice().map(QPointF(dc_.Position.X, dc_.Position.Y)));
      joined.connectPath(device);
      dc_.Position = {logical.currentPosition().x(), logical.currentPosition().y()};
      return Stroke(joined, true);
    }
    if (Kind == akArc) return Stroke(device, false);
    FillAndStroke(device, device);
  }

  void AngleArc(const TGdiPoint& Center, double Radius, double Start, double Sweep) override {
    const QRectF box(Center.X - Radius, Center.Y - Radius, 2 * Radius, 2 * Radius);
    QPainterPath logical;
    logical.moveTo(dc_.Position.X, dc_.Position.Y);
    logical.arcTo(box, Start, std::clamp(Sweep, -360.0, 360.0));
    dc_.Position = {logical.currentPosition().x(), logical.currentPosition().y()};
    Stroke(ToDevice().map(logical), true);
  }

  void Polygon(const std::vector<TGdiPoint>& Points) override {
    if (Points.size() < 2) return;
    QPainterPath path = Figure(Points, 0, Points.size());
    path.closeSubpath();
    FillAndStroke(path, path);
  }
  void PolyPolygon(const std::vector<TGdiPoint>& Points, const std::vector<uint32_t>& Counts) override {
    QPainterPath path;
    size_t at = 0;
    for (uint32_t count : Counts) {
      if (count >= 2) {
        path.addPath(Figure(Points, at, count));
        path.closeSubpath();
      }
      at += count;
    }
    FillAndStroke(path, path);
  }
  void Polyline(const std::vector<TGdiPoint>& Points, bool To) override {
    if (Points.empty() || (!To && Points.size() < 2)) return;
    std::vector<TGdiPoint> all;
    if (To) all.push_back(dc_.Position);
    all.insert(all.end(), Points.begin(), Points.end());
    if (To) dc_.Position = Points.back();
    Stroke(Figure(all, 0, all.size()), To);
  }
  void PolyPolyline(const std::vector<TGdiPoint>& Points, const std::vector<uint32_t>& Counts) override {
    QPainterPath path;
    size_t at = 0;
    for (uint32_t count : Counts) {
      if (count >= 2) path.addPath(Figure(Points, at, count));
      at += count;
    }
    Stroke(path, false);
  }
  void PolyBezier(const std::vector<TGdiPoint>& Points, bool To) override {
    std::vector<TGdiPoint> all;
    if (To) all.push_back(dc_.Position);
    all.insert(all.end(), Points.begin(), Points.end());
    // A curve is a start point and three points per segment.
    if (all.size() < 4 || (all.size() - 1) % 3 != 0) return;
    if (To) dc_.Position = Points.back();
    const QTransform t = ToDevice();
    auto at = [&](size_t i) { return t.map(QPointF(all[i].X, all[i].Y)); };
    QPainterPath path(at(0));
    for (size_t i = 1; i + 2 < all.size(); i += 3) path.cubicTo(at(i), at(i + 1), at(i + 2));
    Stroke(path, To);
  }

  void BeginPath() override {
    path_ = QPainterPath();
    inPath_ = true;
  }
  void EndPath() override { inPath_ = false; }
  void AbortPath() override {
    path_ = QPainterPath();
    inPath_ = false;
  }
  void CloseFigure() override {
    if (inPath_) path_.closeSubpath();
  }
  void DrawPath(TGdiPathEnd End) override {
    if (inPath_) return;
    const QPainterPath path = path_;
    path_ = QPainterPath();
    if (End == peFill) FillAndStroke(path, QPainterPath());
    else if (End == peStroke) Stroke(path, false);
    else FillAndStroke(path, path);
  }

private:
  void Store(int64_t Index, TGdiObject Object) {
    if (Index < 0) {
      auto free = std::find_if(objects_.begin(), objects_.end(), [](const auto& o) { return !o; });
      if (free != objects_.end()) *free = std::move(Object);
    } else if (Index > 0 && uint64_t(Index) < objects_.size()) {
      objects_[size_t(Index)] = std::move(Object);
    }
  }

  // Logical units to the reference device (the mapping mode), after the
  // world transform, and on to the canvas.
  QTransform ToDevice() const {
    double kx = 1, ky = 1;
    if (const double units = FixedUnitsPerInch(dc_.MapMode); units > 0) {
      kx = header_.DevicePerInchX / units;
      ky = -header_.DevicePerInchY / units;
    } else if (dc_.MapMode == MM_ISOTROPIC || dc_.MapMode == MM_ANISOTROPIC) {
      kx = dc_.ViewportExt.X / dc_.WindowExt.X;
      ky = dc_.ViewportExt.Y / dc_.WindowExt.Y;
      if (dc_.MapMode == MM_ISOTROPIC) {
        const double k = std::min(std::abs(kx), std::abs(ky));
        kx = std::copysign(k, kx);
        ky = std::copysign(k, ky);
      }
    }
    const QTransform page(kx, 0, 0, ky, dc_.ViewportOrg.X - dc_.WindowOrg.X * kx,
                          dc_.ViewportOrg.Y - dc_.WindowOrg.Y * ky);
    return dc_.World * page * toCanvas_;
  }

  QPainterPath Figure(const std::vector<TGdiPoint>& Points, size_t First, size_t Count) const {
    const QTransform t = ToDevice();
    QPainterPath path(t.map(QPointF(Points[First].X, Points[First].Y)));
    for (size_t i = First + 1; i < First + Count; ++i) path.lineTo(t.map(QPointF(Points[i].X, Points[i].Y)));
    return path;
  }

  // Boxes exclude their right and bottom edge. On an unrotated mapping the
  // fill covers exactly the box's pixels and the outline runs along its
  // inner edge, as on the platform; otherwise the box is mapped as a shape.
  template <class Build>
  void BoxShape(const TGdiBox& B, Build build) {
    const QTransform t = ToDevice();
    QPainterPath fill, outline;
    if (t.m12() == 0 && t.m21() == 0) {
      const QRectF r = QRectF(t.map(QPointF(B.Left, B.Top)), t.map(QPointF(B.Right, B.Bottom))).normalized();
      build(fill, r);
      build(outline, r.adjusted(0, 0, -1, -1));
    } else {
      QPainterPath logical;
      build(logical, QRectF(QPointF(B.Left, B.Top), QPointF(B.Right, B.Bottom)).normalized());
      fill = outline = t.map(logical);
    }
    FillAndStroke(fill, outline);
  }

  QPen CurrentPen() const {
    const uint32_t style = dc_.Pen.Style & 0xF;
    if (style == PS_NULL) return Qt::NoPen;
    const QTransform t = ToDevice();
    const double width = std::min(std::abs(dc_.Pen.Width) * std::hypot(t.m11(), t.m12()), kMaxPenWidth);
    QPen pen(ToQColor(dc_.Pen.Color), width < 1.5 ? 0 : width);
    switch (style) {
      case PS_DASH: pen.setStyle(Qt::DashLine); break;
      case PS_DOT: pen.setStyle(Qt::DotLine); break;
      case PS_DASHDOT: pen.setStyle(Qt::DashDotLine); break;
      case PS_DASHDOTDOT: pen.setStyle(Qt::DashDotDotLine); break;
      default: break;
    }
    if (width < 1.5) {
      pen.setCapStyle(Qt::FlatCap);
    } else {
      const uint32_t cap = dc_.Pen.Style & 0xF00, join = dc_.Pen.Style & 0xF000;
      pen.setCapStyle(cap == 0x100 ? Qt::SquareCap : cap == 0x200 ? Qt::FlatCap : Qt::RoundCap);
      pen.setJoinStyle(join == 0x1000 ? Qt::BevelJoin : join == 0x2000 ? Qt::MiterJoin : Qt::RoundJoin);
    }
    return pen;
  }

  QBrush CurrentBrush() const {
    const TGdiBrush& b = dc_.Brush;
    if (b.Style == BS_SOLID) return QBrush(ToQColor(b.Color));
    if (b.Style != BS_HATCHED) return Qt::NoBrush;
    static const Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                             Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    return QBrush(ToQColor(b.Color), b.Hatch < 6 ? hatches[b.Hatch] : Qt::SolidPattern);
  }

  void PrepareBackground() {
    painter_.setBackgroundMode(dc_.BkMode == kTransparent ? Qt::TransparentMode : Qt::OpaqueMode);
    painter_.setBackground(ToQColor(dc_.BkColor));
  }

  void FillAndStroke(QPainterPath Fill, const QPainterPath& Outline) {
    if (inPath_) return path_.addPath(Fill);
    PrepareBackground();
    Fill.setFillRule(dc_.FillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
    const QBrush brush = CurrentBrush();
    if (brush.style() != Qt::NoBrush) painter_.fillPath(Fill, brush);
    if (!Outline.isEmpty()) painter_.strokePath(Outline, CurrentPen());
  }

  // Continues the path's current figure when Joined (lines from the
  // current position).
  void Stroke(const QPainterPath& Line, bool Joined) {
    if (inPath_) {
      if (Joined && path_.elementCount() > 0) path_.connectPath(Line);
      else path_.addPath(Line);
      return;
    }
    PrepareBackground();
    painter_.strokePath(Line, CurrentPen());
  }

  QPainter& painter_;
  const TMetafileHeader& header_;
  QTransform toCanvas_;
  TDcState dc_;
  std::vector<TDcState> saved_;
  std::vector<std::optional<TGdiObject>> objects_;
  bool inPath_ = false;
  QPainterPath path_;
};

}  // namespace

void PaintMetafile(const TByteView& File, const TMetafileHeader& Header, const TCanvasSurface& Surface,
                   const TRect& Rect) {
  if (Surface.Bits == nullptr || Surface.Width <= 0 || Surface.Height <= 0) return;
  if (Rect.Right <= Rect.Left || Rect.Bottom <= Rect.Top) return;
  QImage image(reinterpret_cast<uchar*>(Surface.Bits), Surface.Width, Surface.Height,
               qsizetype(Surface.Width) * 4, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  TMetafilePainter player(painter, Header, Rect);
  if (Header.Enhanced)
    PlayEmf(File, Header, player);
  else
    PlayWmf(File, Header, player);
}
