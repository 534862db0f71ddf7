#pragma once

#include <cstdint>
#include <vector>

// The drawing operations of a metafile, as the record readers decode them,
// in the metafile's logical coordinates. The base class does nothing: the
// loader plays a file into it to check every record before the file is
// accepted, and the painter overrides what it draws.
struct TGdiPoint {
  double X = 0;
  double Y = 0;
};

struct TGdiBox {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TGdiPen {
  uint32_t Style = 0;  // PS_* style, end cap and join bits
  double Width = 0;    // logical units
  uint32_t Color = 0;  // COLORREF: red in the low byte
};

struct TGdiBrush {
  uint32_t Style = 0;  // BS_SOLID, BS_NULL, BS_HATCHED; others draw nothing
  uint32_t Color = 0;
  uint32_t Hatch = 0;
};

enum TGdiArcKind : uint8_t { akArc, akArcTo, akChord, akPie };
enum TGdiPathEnd : uint8_t { peFill, peStroke, peStrokeAndFill };

class TGdiSink {
public:
  virtual ~TGdiSink() = default;

  // Index < 0 takes the lowest free slot (Windows metafiles); objects the
  // painter does not draw with (fonts, palettes, regions, bitmap brushes)
  // still take their slot.
  virtual void CreatePen(int64_t /*Index*/, const TGdiPen&) {}
  virtual void CreateBrush(int64_t /*Index*/, const TGdiBrush&) {}
  virtual void CreateOther(int64_t /*Index*/) {}
  virtual void SelectObject(uint32_t /*Index*/) {}
  virtual void SelectStockObject(uint32_t /*Id*/) {}
  virtual void DeleteObject(uint32_t /*Index*/) {}

  virtual void SetMapMode(int32_t /*Mode*/) {}
  virtual void SetWindowOrg(double /*X*/, double /*Y*/) {}
  virtual void SetWindowExt(double /*X*/, double /*Y*/) {}
  virtual void SetViewportOrg(double /*X*/, double /*Y*/) {}
  virtual void SetViewportExt(double /*X*/, double /*Y*/) {}
  virtual void OffsetWindowOrg(double /*X*/, double /*Y*/) {}
  virtual void OffsetViewportOrg(double /*X*/, double /*Y*/) {}
  virtual void ScaleWindowExt(double /*XNum*/, double /*XDenom*/, double /*YNum*/, double /*YDenom*/) {}
  virtual void ScaleViewportExt(double /*XNum*/, double /*XDenom*/, double /*YNum*/, double /*YDenom*/) {}
  // M11, M12, M21, M22, Dx, Dy; Mode as MWT_* (4 sets).
  virtual void ModifyWorldTransform(const double (&/*M*/)[6], uint32_t /*Mode*/) {}

  virtual void SaveDC() {}
  virtual void RestoreDC(int32_t /*Which*/) {}

  virtual void SetBkMode(uint32_t /*Mode*/) {}
  virtual void SetBkColor(uint32_t /*Color*/) {}
  virtual void SetPolyFillMode(uint32_t /*Mode*/) {}
  virtual void SetArcDirection(uint32_t /*Direction*/) {}

  virtual void MoveTo(const TGdiPoint&) {}
  virtual void LineTo(const TGdiPoint&) {}
  virtual void SetPixel(const TGdiPoint&, uint32_t /*Color*/) {}
  virtual void Rectangle(const TGdiBox&) {}
  virtual void RoundRect(const TGdiBox&, double /*CornerWidth*/, double /*CornerHeight*/) {}
  virtual void Ellipse(const TGdiBox&) {}
  virtual void Arc(TGdiArcKind, const TGdiBox&, const TGdiPoint& /*Start*/, const TGdiPoint& /*End*/) {}
  virtual void AngleArc(const TGdiPoint& /*Center*/, double /*Radius*/, double /*Start*/, double /*Sweep*/) {}
  virtual void Polygon(const std::vector<TGdiPoint>&) {}
  // To: the figure starts at the current position, which moves to its end.
  virtual void Polyline(const std::vector<TGdiPoint>&, bool /*To*/) {}
  virtual void PolyBezier(const std::vector<TGdiPoint>&, bool /*To*/) {}
  virtual void PolyPolygon(const std::vector<TGdiPoint>&, const std::vector<uint32_t>& /*Counts*/) {}
  virtual void PolyPolyline(const std::vector<TGdiPoint>&, const std::vector<uint32_t>& /*Counts*/) {}

  virtual void BeginPath() {}
  virtual void EndPath() {}
  virtual void AbortPath() {}
  virtual void CloseFigure() {}
  virtual void DrawPath(TGdiPathEnd) {}
};
