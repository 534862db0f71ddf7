#include "platform/metafile_format.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kHeaderSize = 18;

enum : uint16_t {
  META_EOF = 0x0000, META_SAVEDC = 0x001E, META_CREATEPALETTE = 0x00F7, META_SETBKMODE = 0x0102,
  META_SETMAPMODE = 0x0103, META_SETPOLYFILLMODE = 0x0106, META_RESTOREDC = 0x0127,
  META_SELECTOBJECT = 0x012D, META_DIBCREATEPATTERNBRUSH = 0x0142, META_DELETEOBJECT = 0x01F0,
  META_CREATEPATTERNBRUSH = 0x01F9, META_SETBKCOLOR = 0x0201, META_SETWINDOWORG = 0x020B,
  META_SETWINDOWEXT = 0x020C, META_SETVIEWPORTORG = 0x020D, META_SETVIEWPORTEXT = 0x020E,
  META_OFFSETWINDOWORG = 0x020F, META_OFFSETVIEWPORTORG = 0x0211, META_LINETO = 0x0213,
  META_MOVETO = 0x0214, META_CREATEPENINDIRECT = 0x02FA, META_CREATEFONTINDIRECT = 0x02FB,
  META_CREATEBRUSHINDIRECT = 0x02FC, META_POLYGON = 0x0324, META_POLYLINE = 0x0325,
  META_SCALEWINDOWEXT = 0x0410, META_SCALEVIEWPORTEXT = 0x0412, META_ELLIPSE = 0x0418,
  META_RECTANGLE = 0x041B, META_SETPIXEL = 0x041F, META_POLYPOLYGON = 0x0538,
  META_ROUNDRECT = 0x061C, META_CREATEREGION = 0x06FF, META_ARC = 0x0817, META_PIE = 0x081A,
  META_CHORD = 0x0830,
};

// One record: its function and its parameter words. The reversed order of
// the parameters is the file's: the last argument of the call comes first.
struct TRecord {
  uint16_t Function;
  TByteView Params;
  uint32_t Number;

  [[noreturn]] void Fail(const std::string& Reason) const {
    Params.Fail("record " + std::to_string(Number) + " (function " + std::to_string(Function) + ") " +
                Reason);
  }
  void Need(size_t Words) const {
    if (Params.Size() < Words * 2)
      Fail("has " + std::to_string(Params.Size() / 2) + " parameter words, fewer than " +
           std::to_string(Words));
  }
  double S(size_t Word) const { return Params.I16(Word * 2); }
  uint16_t W(size_t Word) const { return Params.U16(Word * 2); }
  uint32_t Color(size_t Word) const { return Params.U32(Word * 2); }
  // Four words in the order bottom, right, top, left.
  TGdiBox Box(size_t Word) const { return {S(Word + 3), S(Word + 2), S(Word + 1), S(Word)}; }
  // Two words in the order y, x.
  TGdiPoint YX(size_t Word) const { return {S(Word + 1), S(Word)}; }
};

std::vector<TGdiPoint> Points(const TRecord& R, size_t Word, uint64_t Count) {
  if (Word * 2 > R.Params.Size() || Count > (R.Params.Size() - Word * 2) / 4)
    R.Fail("declares " + std::to_string(Count) + " points, more than it holds");
  std::vector<TGdiPoint> points(static_cast<size_t>(Count));
  for (size_t i = 0; i < points.size(); ++i) points[i] = {R.S(Word + 2 * i), R.S(Word + 2 * i + 1)};
  return points;
}

// Walks the records from First to End, checking each record's size, and
// stops at the end-of-file record.
void ForEachRecord(const TByteView& File, size_t First, size_t End,
                   const std::function<void(const TRecord&)>& Visit) {
  size_t at = First;
  uint32_t number = 0;
  while (at < End) {
    ++number;
    if (End - at < 6) File.Fail("record " + std::to_string(number) + " is cut off");
    const uint64_t size = uint64_t(File.U32(at)) * 2;
    const uint16_t function = File.U16(at + 4);
    // A size below the record's own fields would never move on.
    if (size < 6) File.Fail("record " + std::to_string(number) + " claims a size of " + std::to_string(size));
    if (size > End - at)
      File.Fail("record " + std::to_string(number) + " of " + std::to_string(size) +
                " bytes runs past the end of the file");
    if (function == META_EOF) return;
    Visit(TRecord{function, File.Sub(at + 6, size_t(size) - 6), number});
    at += size_t(size);
  }
}

void PlayRecord(const TRecord& R, TGdiSink& Sink) {
  switch (R.Function) {
    case META_SAVEDC: Sink.SaveDC(); break;
    case META_RESTOREDC: R.Need(1); Sink.RestoreDC(int32_t(R.S(0))); break;
    case META_SETBKMODE: R.Need(1); Sink.SetBkMode(R.W(0)); break;
    case META_SETMAPMODE: R.Need(1); Sink.SetMapMode(R.W(0)); break;
    case META_SETPOLYFILLMODE: R.Need(1); Sink.SetPolyFillMode(R.W(0)); break;
    case META_SETBKCOLOR: R.Need(2); Sink.SetBkColor(R.Color(0)); break;
    case META_SELECTOBJECT: R.Need(1); Sink.SelectObject(R.W(0)); break;
    case META_DELETEOBJECT: R.Need(1); Sink.DeleteObject(R.W(0)); break;
    case META_CREATEPENINDIRECT:
      R.Need(5);
      Sink.CreatePen(-1, TGdiPen{R.W(0), R.S(1), R.Color(3)});
      break;
    case META_CREATEBRUSHINDIRECT:
      R.Need(4);
      Sink.CreateBrush(-1, TGdiBrush{R.W(0), R.Color(1), R.W(3)});
      break;
    case META_CREATEPALETTE: case META_CREATEPATTERNBRUSH: case META_CREATEFONTINDIRECT:
    case META_CREATEREGION: case META_DIBCREATEPATTERNBRUSH:
      Sink.CreateOther(-1);
      break;
    case META_SETWINDOWORG: R.Need(2); Sink.SetWindowOrg(R.S(1), R.S(0)); break;
    case META_SETWINDOWEXT: R.Need(2); Sink.SetWindowExt(R.S(1), R.S(0)); break;
    case META_SETVIEWPORTORG: R.Need(2); Sink.SetViewportOrg(R.S(1), R.S(0)); break;
    case META_SETVIEWPORTEXT: R.Need(2); Sink.SetViewportExt(R.S(1), R.S(0)); break;
    case META_OFFSETWINDOWORG: R.Need(2); Sink.OffsetWindowOrg(R.S(1), R.S(0)); break;
    case META_OFFSETVIEWPORTORG: R.Need(2); Sink.OffsetViewportOrg(R.S(1), R.S(0)); break;
    case META_SCALEWINDOWEXT: R.Need(4); Sink.ScaleWindowExt(R.S(3), R.S(2), R.S(1), R.S(0)); break;
    case META_SCALEVIEWPORTEXT: R.Need(4); Sink.ScaleViewportExt(R.S(3), R.S(2), R.S(1), R.S(0)); break;
    case META_MOVETO: R.Need(2); Sink.MoveTo(R.YX(0)); break;
    case META_LINETO: R.Need(2); Sink.LineTo(R.YX(0)); break;
    case META_SETPIXEL: R.Need(4); Sink.SetPixel(R.YX(2), R.Color(0)); break;
    case META_RECTANGLE: R.Need(4); Sink.Rectangle(R.Box(0)); break;
    case META_ELLIPSE: R.Need(4); Sink.Ellipse(R.Box(0)); break;
    case META_ROUNDRECT: R.Need(6); Sink.RoundRect(R.Box(2), R.S(1), R.S(0)); break;
    case META_ARC: case META_PIE: case META_CHORD:
      R.Need(8);
      Sink.Arc(R.Function == META_ARC ? akArc : R.Function == META_PIE ? akPie : akChord, R.Box(4),
               R.YX(2), R.YX(0));
      break;
    case META_POLYGON:
    case META_POLYLINE: {
      R.Need(1);
      const std::vector<TGdiPoint> points = Points(R, 1, R.W(0));
      if (R.Function == META_POLYGON)
        Sink.Polygon(points);
      else
        Sink.Polyline(points, false);
      break;
    }
    case META_POLYPOLYGON: {
      R.Need(1);
      const size_t polygons = R.W(0);
      R.Need(1 + polygons);
      std::vector<uint32_t> counts(polygons);
      uint64_t total = 0;
      for (size_t i = 0; i < polygons; ++i) total += counts[i] = R.W(1 + i);
      Sink.PolyPolygon(Points(R, 1 + polygons, total), counts);
      break;
    }
    // Text, bitmaps, clipping, palettes, escapes and the remaining state
    // records are not drawn; their records are skipped.
    default: break;
  }
}

size_t HeaderStart(const TByteView& File) { return IsPlaceableWmf(File) ? kPlaceableSize : 0; }

}  // namespace

bool IsPlaceableWmf(const TByteView& File) { return File.Has(0, 4) && File.U32(0) == kPlaceableKey; }

TMetafileHeader ReadWmfHeader(const TByteView& File) {
  const size_t start = HeaderStart(File);
  if (!File.Has(start, kHeaderSize)) File.Fail("the file is too short for a metafile header");
  const uint16_t type = File.U16(start), headerWords = File.U16(start + 2);
  if ((type != 1 && type != 2) || headerWords != kHeaderSize / 2)
    File.Fail("the file is neither an enhanced nor a Windows metafile");
  const uint64_t bytes = uint64_t(File.U32(start + 6)) * 2;
  if (bytes < kHeaderSize || bytes > File.Size() - start)
    File.Fail("the header claims " + std::to_string(bytes) + " bytes but the file has " +
              std::to_string(File.Size() - start) + " after it starts");

  TMetafileHeader h;
  h.Enhanced = false;
  h.WindowOnFrame = true;
  h.Handles = File.U16(start + 10);
  h.FirstRecord = start + kHeaderSize;
  h.End = start + size_t(bytes);

  double unitsPerInch = 96;
  TGdiBox box;
  if (start != 0) {
    box = {double(File.I16(6)), double(File.I16(8)), double(File.I16(10)), double(File.I16(12))};
    unitsPerInch = File.U16(14);
    if (unitsPerInch == 0) File.Fail("its placeable header gives 0 units per inch");
  } else {
    // Without a placeable header the window the file sets first is the
    // picture, taken at 96 units per inch.
    bool hasExtent = false, hasOrigin = false;
    ForEachRecord(File, h.FirstRecord, h.End, [&](const TRecord& R) {
      if (R.Function == META_SETWINDOWEXT && !hasExtent && R.Params.Size() >= 4) {
        box.Right = R.S(1);
        box.Bottom = R.S(0);
        hasExtent = true;
      } else if (R.Function == META_SETWINDOWORG && !hasOrigin && R.Params.Size() >= 4) {
        box.Left = R.S(1);
        box.Top = R.S(0);
        hasOrigin = true;
      }
    });
    if (!hasExtent) File.Fail("it has no placeable header and sets no window extent, so it has no size");
    box.Right += box.Left;
    box.Bottom += box.Top;
  }
  // The window starts on the box as given, so a box with y going up draws
  // upright; the frame is the same area with its sides in order.
  h.Frame = {std::min(box.Left, box.Right), std::min(box.Top, box.Bottom),
             std::max(box.Left, box.Right), std::max(box.Top, box.Bottom)};
  h.WindowBox = box;
  h.DevicePerInchX = h.DevicePerInchY = unitsPerInch;
  const double width = std::round((h.Frame.Right - h.Frame.Left) * 96 / unitsPerInch);
  const double height = std::round((h.Frame.Bottom - h.Frame.Top) * 96 / unitsPerInch);
  if (width > kMaxMetafileSide || height > kMaxMetafileSide || width * height > double(kMaxMetafilePixels))
    File.Fail("a picture of " + std::to_string(int64_t(width)) + " x " + std::to_string(int64_t(height)) +
              " pixels is too large");
  h.Width = int32_t(width);
  h.Height = int32_t(height);
  return h;
}

void PlayWmf(const TByteView& File, const TMetafileHeader& Header, TGdiSink& Sink) {
  ForEachRecord(File, Header.FirstRecord, Header.End, [&](const TRecord& R) { PlayRecord(R, Sink); });
}
