#include "platform/metafile_format.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr size_t kHeaderSize = 88;

enum : uint32_t {
  EMR_HEADER = 1, EMR_POLYBEZIER = 2, EMR_POLYGON = 3, EMR_POLYLINE = 4, EMR_POLYBEZIERTO = 5,
  EMR_POLYLINETO = 6, EMR_POLYPOLYLINE = 7, EMR_POLYPOLYGON = 8, EMR_SETWINDOWEXTEX = 9,
  EMR_SETWINDOWORGEX = 10, EMR_SETVIEWPORTEXTEX = 11, EMR_SETVIEWPORTORGEX = 12, EMR_EOF = 14,
  EMR_SETPIXELV = 15, EMR_SETMAPMODE = 17, EMR_SETBKMODE = 18, EMR_SETPOLYFILLMODE = 19,
  EMR_SETBKCOLOR = 25, EMR_MOVETOEX = 27, EMR_SCALEVIEWPORTEXTEX = 31, EMR_SCALEWINDOWEXTEX = 32,
  EMR_SAVEDC = 33, EMR_RESTOREDC = 34, EMR_SETWORLDTRANSFORM = 35, EMR_MODIFYWORLDTRANSFORM = 36,
  EMR_SELECTOBJECT = 37, EMR_CREATEPEN = 38, EMR_CREATEBRUSHINDIRECT = 39, EMR_DELETEOBJECT = 40,
  EMR_ANGLEARC = 41, EMR_ELLIPSE = 42, EMR_RECTANGLE = 43, EMR_ROUNDRECT = 44, EMR_ARC = 45,
  EMR_CHORD = 46, EMR_PIE = 47, EMR_CREATEPALETTE = 49, EMR_LINETO = 54, EMR_ARCTO = 55,
  EMR_SETARCDIRECTION = 57, EMR_BEGINPATH = 59, EMR_ENDPATH = 60, EMR_CLOSEFIGURE = 61,
  EMR_FILLPATH = 62, EMR_STROKEANDFILLPATH = 63, EMR_STROKEPATH = 64, EMR_ABORTPATH = 68,
  EMR_EXTCREATEFONTINDIRECTW = 82, EMR_POLYBEZIER16 = 85, EMR_POLYGON16 = 86, EMR_POLYLINE16 = 87,
  EMR_POLYBEZIERTO16 = 88, EMR_POLYLINETO16 = 89, EMR_POLYPOLYLINE16 = 90, EMR_POLYPOLYGON16 = 91,
  EMR_CREATEMONOBRUSH = 93, EMR_CREATEDIBPATTERNBRUSHPT = 94, EMR_EXTCREATEPEN = 95,
};

// One record: its type and its bytes, the 8-byte type and size included.
struct TRecord {
  uint32_t Type;
  TByteView Bytes;
  uint32_t Number;  // 1-based, for messages

  [[noreturn]] void Fail(const std::string& Reason) const {
    Bytes.Fail("record " + std::to_string(Number) + " (type " + std::to_string(Type) + ") " + Reason);
  }
  void Need(size_t Size) const {
    if (Bytes.Size() < Size)
      Fail("has " + std::to_string(Bytes.Size()) + " bytes, fewer than its " + std::to_string(Size) +
           " bytes of fields");
  }
  double I(size_t At) const { return Bytes.I32(At); }
  uint32_t U(size_t At) const { return Bytes.U32(At); }
  TGdiPoint Point(size_t At) const { return {I(At), I(At + 4)}; }
  TGdiBox Box(size_t At) const { return {I(At), I(At + 4), I(At + 8), I(At + 12)}; }
  double Float(size_t At) const {
    const uint32_t bits = U(At);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return std::isfinite(value) ? double(value) : 0.0;
  }
};

// Count points of 8 (POINTL) or 4 (POINTS) bytes at At, checked against the
// record before the storage for them is made.
std::vector<TGdiPoint> Points(const TRecord& R, size_t At, uint64_t Count, bool Short) {
  const size_t stride = Short ? 4 : 8;
  if (At > R.Bytes.Size() || Count > (R.Bytes.Size() - At) / stride)
    R.Fail("declares " + std::to_string(Count) + " points, more than it holds");
  std::vector<TGdiPoint> points(static_cast<size_t>(Count));
  for (size_t i = 0; i < points.size(); ++i) {
    const size_t at = At + i * stride;
    points[i] = Short ? TGdiPoint{double(R.Bytes.I16(at)), double(R.Bytes.I16(at + 2))} : R.Point(at);
  }
  return points;
}

void PlayPoly(const TRecord& R, TGdiSink& Sink, bool Short) {
  R.Need(28);
  const std::vector<TGdiPoint> points = Points(R, 28, R.U(24), Short);
  switch (Short ? R.Type - (EMR_POLYBEZIER16 - EMR_POLYBEZIER) : R.Type) {
    case EMR_POLYBEZIER: Sink.PolyBezier(points, false); break;
    case EMR_POLYGON: Sink.Polygon(points); break;
    case EMR_POLYLINE: Sink.Polyline(points, false); break;
    case EMR_POLYBEZIERTO: Sink.PolyBezier(points, true); break;
    case EMR_POLYLINETO: Sink.Polyline(points, true); break;
  }
}

void PlayPolyPoly(const TRecord& R, TGdiSink& Sink, bool Short) {
  R.Need(32);
  const uint64_t polygons = R.U(24), total = R.U(28);
  if (polygons > (R.Bytes.Size() - 32) / 4)
    R.Fail("declares " + std::to_string(polygons) + " figures, more than it holds");
  std::vector<uint32_t> counts(static_cast<size_t>(polygons));
  uint64_t sum = 0;
  for (size_t i = 0; i < counts.size(); ++i) sum += counts[i] = R.U(32 + 4 * i);
  if (sum != total) R.Fail("has figures of " + std::to_string(sum) + " points in all, not " + std::to_string(total));
  const std::vector<TGdiPoint> points = Points(R, 32 + 4 * counts.size(), total, Short);
  if (R.Type == EMR_POLYPOLYGON || R.Type == EMR_POLYPOLYGON16)
    Sink.PolyPolygon(points, counts);
  else
    Sink.PolyPolyline(points, counts);
}

void PlayRecord(const TRecord& R, TGdiSink& Sink) {
  switch (R.Type) {
    case EMR_POLYBEZIER: case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
      PlayPoly(R, Sink, false);
      break;
    case EMR_POLYBEZIER16: case EMR_POLYGON16: case EMR_POLYLINE16: case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
      PlayPoly(R, Sink, true);
      break;
    case EMR_POLYPOLYLINE: case EMR_POLYPOLYGON: PlayPolyPoly(R, Sink, false); break;
    case EMR_POLYPOLYLINE16: case EMR_POLYPOLYGON16: PlayPolyPoly(R, Sink, true); break;
    case EMR_SETWINDOWEXTEX: R.Need(16); Sink.SetWindowExt(R.I(8), R.I(12)); break;
    case EMR_SETWINDOWORGEX: R.Need(16); Sink.SetWindowOrg(R.I(8), R.I(12)); break;
    case EMR_SETVIEWPORTEXTEX: R.Need(16); Sink.SetViewportExt(R.I(8), R.I(12)); break;
    case EMR_SETVIEWPORTORGEX: R.Need(16); Sink.SetViewportOrg(R.I(8), R.I(12)); break;
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX:
      R.Need(24);
      if (R.Type == EMR_SCALEWINDOWEXTEX)
        Sink.ScaleWindowExt(R.I(8), R.I(12), R.I(16), R.I(20));
      else
        Sink.ScaleViewportExt(R.I(8), R.I(12), R.I(16), R.I(20));
      break;
    case EMR_SETPIXELV: R.Need(20); Sink.SetPixel(R.Point(8), R.U(16)); break;
    case EMR_SETMAPMODE: R.Need(12); Sink.SetMapMode(int32_t(R.U(8))); break;
    case EMR_SETBKMODE: R.Need(12); Sink.SetBkMode(R.U(8)); break;
    case EMR_SETPOLYFILLMODE: R.Need(12); Sink.SetPolyFillMode(R.U(8)); break;
    case EMR_SETBKCOLOR: R.Need(12); Sink.SetBkColor(R.U(8)); break;
    case EMR_SETARCDIRECTION: R.Need(12); Sink.SetArcDirection(R.U(8)); break;
    case EMR_MOVETOEX: R.Need(16); Sink.MoveTo(R.Point(8)); break;
    case EMR_LINETO: R.Need(16); Sink.LineTo(R.Point(8)); break;
    case EMR_SAVEDC: Sink.SaveDC(); break;
    case EMR_RESTOREDC: R.Need(12); Sink.RestoreDC(int32_t(R.U(8))); break;
    case EMR_SETWORLDTRANSFORM:
    case EMR_MODIFYWORLDTRANSFORM: {
      R.Need(R.Type == EMR_SETWORLDTRANSFORM ? 32 : 36);
      const double m[6] = {R.Float(8), R.Float(12), R.Float(16), R.Float(20), R.Float(24), R.Float(28)};
      Sink.ModifyWorldTransform(m, R.Type == EMR_SETWORLDTRANSFORM ? 4 : R.U(32));
      break;
    }
    case EMR_SELECTOBJECT: R.Need(12); Sink.SelectObject(R.U(8)); break;
    case EMR_DELETEOBJECT: R.Need(12); Sink.DeleteObject(R.U(8)); break;
    case EMR_CREATEPEN:
      R.Need(28);
      Sink.CreatePen(R.U(8), TGdiPen{R.U(12), R.I(16), R.U(24)});
      break;
    case EMR_EXTCREATEPEN: {
      R.Need(52);
      if (R.U(48) > (R.Bytes.Size() - 52) / 4)
        R.Fail("declares " + std::to_string(R.U(48)) + " dash lengths, more than it holds");
      // A pen whose brush is hollow draws nothing.
      const uint32_t style = R.U(36) == 1 ? (R.U(28) & ~0xFu) | 5 : R.U(28);
      Sink.CreatePen(R.U(8), TGdiPen{style, double(R.U(32)), R.U(40)});
      break;
    }
    case EMR_CREATEBRUSHINDIRECT:
      R.Need(24);
      Sink.CreateBrush(R.U(8), TGdiBrush{R.U(12), R.U(16), R.U(20)});
      break;
    case EMR_CREATEPALETTE: case EMR_EXTCREATEFONTINDIRECTW: case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT:
      R.Need(12);
      Sink.CreateOther(R.U(8));
      break;
    case EMR_ANGLEARC:
      R.Need(28);
      Sink.AngleArc(R.Point(8), double(R.U(16)), R.Float(20), R.Float(24));
      break;
    case EMR_ELLIPSE: R.Need(24); Sink.Ellipse(R.Box(8)); break;
    case EMR_RECTANGLE: R.Need(24); Sink.Rectangle(R.Box(8)); break;
    case EMR_ROUNDRECT: R.Need(32); Sink.RoundRect(R.Box(8), R.I(24), R.I(28)); break;
    case EMR_ARC: case EMR_ARCTO: case EMR_CHORD: case EMR_PIE: {
      R.Need(40);
      const TGdiArcKind kind = R.Type == EMR_ARC ? akArc : R.Type == EMR_ARCTO ? akArcTo
                               : R.Type == EMR_CHORD ? akChord : akPie;
      Sink.Arc(kind, R.Box(8), R.Point(24), R.Point(32));
      break;
    }
    case EMR_BEGINPATH: Sink.BeginPath(); break;
    case EMR_ENDPATH: Sink.EndPath(); break;
    case EMR_ABORTPATH: Sink.AbortPath(); break;
    case EMR_CLOSEFIGURE: Sink.CloseFigure(); break;
    case EMR_FILLPATH: Sink.DrawPath(peFill); break;
    case EMR_STROKEPATH: Sink.DrawPath(peStroke); break;
    case EMR_STROKEANDFILLPATH: Sink.DrawPath(peStrokeAndFill); break;
    // Text, bitmaps, clipping, palettes, comments (EMF+ among them) and the
    // remaining state records are not drawn; their records are skipped.
    default: break;
  }
}

}  // namespace

bool IsEmf(const TByteView& File) {
  return File.Has(0, kHeaderSize) && File.U32(0) == EMR_HEADER && File.U32(40) == kSignature;
}

TMetafileHeader ReadEmfHeader(const TByteView& File) {
  if (!File.Has(0, kHeaderSize)) File.Fail("the file is too short for a metafile header");
  if (!IsEmf(File)) File.Fail("the file does not start with an enhanced metafile header");
  const uint32_t headerSize = File.U32(4), bytes = File.U32(48);
  if (headerSize < kHeaderSize || headerSize % 4 != 0 || headerSize > File.Size())
    File.Fail("the header claims " + std::to_string(headerSize) + " bytes");
  if (bytes > File.Size())
    File.Fail("the header claims " + std::to_string(bytes) + " bytes but the file has " +
              std::to_string(File.Size()));
  if (bytes < headerSize) File.Fail("the header claims " + std::to_string(bytes) + " bytes in all");

  const int64_t left = File.I32(24), top = File.I32(28), right = File.I32(32), bottom = File.I32(36);
  const int64_t deviceX = File.I32(72), deviceY = File.I32(76), mmX = File.I32(80), mmY = File.I32(84);
  if (right < left || bottom < top) File.Fail("its frame is inverted");
  if (deviceX <= 0 || deviceY <= 0 || mmX <= 0 || mmY <= 0)
    File.Fail("its reference device has no size");

  TMetafileHeader h;
  h.Enhanced = true;
  // The frame is in hundredths of a millimetre.
  const double width = std::round(double(right - left) * 96 / 2540);
  const double height = std::round(double(bottom - top) * 96 / 2540);
  if (width > kMaxMetafileSide || height > kMaxMetafileSide || width * height > double(kMaxMetafilePixels))
    File.Fail("a picture of " + std::to_string(int64_t(width)) + " x " + std::to_string(int64_t(height)) +
              " pixels is too large");
  h.Width = int32_t(width);
  h.Height = int32_t(height);
  h.DevicePerInchX = double(deviceX) * 25.4 / double(mmX);
  h.DevicePerInchY = double(deviceY) * 25.4 / double(mmY);
  const double toDeviceX = h.DevicePerInchX / 2540, toDeviceY = h.DevicePerInchY / 2540;
  h.Frame = {double(left) * toDeviceX, double(top) * toDeviceY, double(right) * toDeviceX,
             double(bottom) * toDeviceY};
  h.Handles = File.U16(56);
  h.FirstRecord = headerSize;
  h.End = bytes;
  return h;
}

void PlayEmf(const TByteView& File, const TMetafileHeader& Header, TGdiSink& Sink) {
  size_t at = Header.FirstRecord;
  uint32_t number = 1;
  while (at < Header.End) {
    ++number;
    if (Header.End - at < 8) File.Fail("record " + std::to_string(number) + " is cut off");
    const uint32_t type = File.U32(at), size = File.U32(at + 4);
    // A size of 0 would never move on; every record holds at least its type
    // and size, in whole 32-bit words.
    if (size < 8 || size % 4 != 0)
      File.Fail("record " + std::to_string(number) + " claims a size of " + std::to_string(size));
    if (size > Header.End - at)
      File.Fail("record " + std::to_string(number) + " of " + std::to_string(size) +
                " bytes runs past the end of the file");
    if (type == EMR_EOF) return;
    if (type == EMR_HEADER) File.Fail("record " + std::to_string(number) + " is a second header");
    PlayRecord(TRecord{type, File.Sub(at, size), number}, Sink);
    at += size;
  }
}
