// Conversions between TBitmap32 and the platform's picture objects, picture
// files and the streamed form "Data".

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/exceptions.h"
#include "platform/picture.h"
#include "platform/streams.h"
#include "raster/bitmap32.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

namespace {

void PutInt32(uint8_t* P, int32_t Value) {
  const auto v = uint32_t(Value);
  for (int i = 0; i < 4; ++i) P[i] = uint8_t(v >> (8 * i));
}

int32_t GetInt32(const uint8_t* P) {
  return int32_t(uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24);
}

size_t PixelBytes(int32_t Width, int32_t Height) {
  return size_t(Width) * size_t(Height) * sizeof(TColor32);
}

void SaveAsBmp(TBitmap32* Bitmap, TMemoryStream& Stream) {
  TBitmap bitmap;
  bitmap.Assign(Bitmap);
  bitmap.SaveToStream(Stream);
}

}  // namespace

void TBitmap32::ReadPictureFile(const std::string& FileName) {
  TPicture picture;
  picture.LoadFromFile(FileName);
  Assign(&picture);
}

void TBitmap32::WritePictureFile(const std::string& FileName) {
  TBitmap bitmap;
  bitmap.Assign(this);
  bitmap.SaveToFile(FileName);
}

bool TBitmap32::AssignPicture(TPersistent* Source) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
    AssignPlatformBitmap(*bitmap);
  } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    AssignDrawnGraphic(*graphic, graphic->Width(), graphic->Height());
  } else if (auto* picture = dynamic_cast<TPicture*>(Source)) {
    TGraphic* held = picture->Graphic();
    if (held == nullptr)
      SetDimensions(0, 0);  // an empty picture gives an empty bitmap
    else if (auto* heldBitmap = dynamic_cast<TBitmap*>(held))
      AssignPlatformBitmap(*heldBitmap);
    else if (held->PaintsOnlyWhatItCovers())
      AssignOverTwoBackgrounds(*held, picture->Width(), picture->Height());
    else
      AssignDrawnGraphic(*held, picture->Width(), picture->Height());
  } else {
    return false;
  }
  return true;
}

void TBitmap32::AssignPlatformBitmap(TBitmap& Source) {
  SetDimensions(Source.Width(), Source.Height());
  if (IsEmpty()) return;
  EnsureCanvas()->CopyRect(FullRect(), *Source.Canvas(), FullRect());
  if (Source.PixelFormat() != pf32bit) MakeOpaque();
  if (Source.Transparent) {
    const TColor32 key = WinColorToColor32(Source.TransparentColor()) & 0x00FFFFFFu;
    TColor32* p = PixelData();
    const size_t count = size_t(Width()) * size_t(Height());
    for (size_t i = 0; i < count; ++i)
      if ((p[i] & 0x00FFFFFFu) == key) p[i] = key;
  }
}

void TBitmap32::AssignDrawnGraphic(TGraphic& Source, int32_t Width, int32_t Height) {
  SetDimensions(Source.Width(), Source.Height());
  if (IsEmpty()) return;
  TCanvas canvas;
  canvas.SetHandle(Surface());
  Source.Draw(canvas, RectOf(0, 0, Width, Height));
  if (!Source.DrawsOpaque()) MakeOpaque();
}

// A pixel the graphic covers looks the same over white and over red and
// becomes opaque; where the background shows, the two passes differ and the
// pixel becomes fully transparent, keeping the colour of the white pass.
void TBitmap32::AssignOverTwoBackgrounds(TGraphic& Source, int32_t Width, int32_t Height) {
  SetDimensions(Source.Width(), Source.Height());
  if (IsEmpty()) return;
  const TRect rect = RectOf(0, 0, Width, Height);
  TBitmap32 overRed;
  TCanvas canvas;
  FillAll(0xFFFFFFFFu);
  canvas.SetHandle(Surface());
  Source.Draw(canvas, rect);
  overRed.SetDimensions(Source.Width(), Source.Height());
  overRed.FillAll(0xFFFF0000u);
  canvas.SetHandle(overRed.Surface());
  Source.Draw(canvas, rect);
  TColor32* white = PixelData();
  const TColor32* red = overRed.PixelData();
  const size_t count = size_t(this->Width()) * size_t(this->Height());
  for (size_t i = 0; i < count; ++i) {
    const TColor32 c = white[i] & 0x00FFFFFFu;
    white[i] = (red[i] & 0x00FFFFFFu) == c ? c | 0xFF000000u : c;
  }
}

void TBitmap32::AssignTo(TPersistent* Dest) {
  if (auto* picture = dynamic_cast<TPicture*>(Dest))
    CopyToPlatformBitmap(*picture->Bitmap());
  else if (auto* bitmap = dynamic_cast<TBitmap*>(Dest))
    CopyToPlatformBitmap(*bitmap);
  else
    TCustomMap::AssignTo(Dest);
}

void TBitmap32::CopyToPlatformBitmap(TBitmap& Dest) const {
  Dest.SetPixelFormat(pf32bit);
  Dest.SetWidth(Width());
  Dest.SetHeight(Height());
  if (IsEmpty()) return;
  Dest.Canvas()->CopyPixels(FullRect(), PixelData(), Width(), Height());
}

void TBitmap32::DefineProperties(TFiler* Filer) {
  bool store;
  if (TPersistent* ancestor = Filer->Ancestor()) {
    auto* bitmap = dynamic_cast<TBitmap32*>(ancestor);
    store = bitmap == nullptr || !SameContent(bitmap);
  } else {
    store = !IsEmpty();
  }
  Filer->DefineBinaryProperty(
      "Data", [this](TStream& Stream) { ReadPixelData(Stream); },
      [this](TStream& Stream) { WritePixelData(Stream); }, store);
}

void TBitmap32::WritePixelData(TStream& Stream) {
  uint8_t size[8];
  PutInt32(size, Width());
  PutInt32(size + 4, Height());
  Stream.WriteBuffer(size, sizeof size);
  if (!IsEmpty()) Stream.WriteBuffer(PixelData(), int64_t(PixelBytes(Width(), Height())));
}

void TBitmap32::ReadPixelData(TStream& Stream) {
  try {
    uint8_t size[8];
    Stream.ReadBuffer(size, sizeof size);
    const int32_t width = std::max(GetInt32(size), 0);
    const int32_t height = std::max(GetInt32(size + 4), 0);
    // A block claiming more pixels than the stream holds fails before any
    // storage is made for them, with the error the short read would give.
    const int64_t left = Stream.Size() - Stream.Position();
    if (uint64_t(width) * uint64_t(height) * sizeof(TColor32) > uint64_t(std::max<int64_t>(left, 0)))
      throw EReadError("Stream read error");
    SetDimensions(width, height);
    if (!IsEmpty()) Stream.ReadBuffer(PixelData(), int64_t(PixelBytes(Width(), Height())));
  } catch (...) {
    NotifyChanged();
    throw;
  }
  NotifyChanged();
}

bool TBitmap32::SameContent(TBitmap32* Other) {
  const bool sameClass = typeid(*this) == typeid(*Other);
  if (IsEmpty() || Other->IsEmpty()) return IsEmpty() && Other->IsEmpty();
  if (!sameClass) return false;
  TMemoryStream mine, theirs;
  SaveAsBmp(this, mine);
  SaveAsBmp(Other, theirs);
  return mine.Size() == theirs.Size() &&
         std::memcmp(mine.Memory(), theirs.Memory(), size_t(mine.Size())) == 0;
}
