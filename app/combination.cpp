#include "app/combination.h"

#include "raster/transfer.h"

namespace {

void ScaleToSize(TBitmap32& Bitmap, int32_t Width, int32_t Height) {
  TBitmap32 picture;
  picture.Assign(&Bitmap);
  picture.SetDrawMode(dmOpaque);
  picture.SetStretchFilter(sfNearest);
  Bitmap.SetDimensions(Width, Height);
  picture.DrawInto(&Bitmap, Bitmap.FullRect());
}

}  // namespace

void WeightToAlpha(TBitmap32* Dst, TBitmap32* Src) {
  if (Dst != nullptr && Src != nullptr && !Dst->IsEmpty() && !Src->IsEmpty() &&
      (Dst->Width() != Src->Width() || Dst->Height() != Src->Height()))
    ScaleToSize(*Dst, Src->Width(), Src->Height());
  CheckFilterArgs(Dst, Src);
  if (!Dst->IsEmpty()) {
    const TColor32* weights = Src->PixelData();
    TColor32* pixels = Dst->PixelData();
    const size_t count = size_t(Src->Width()) * size_t(Src->Height());
    for (size_t i = 0; i < count; ++i) pixels[i] = (pixels[i] & 0x00FFFFFFu) | (weights[i] << 24);
  }
  Dst->NotifyChanged();
}

void Recombine(const TMixBitmaps& Bitmaps) {
  TBitmap32& comb = *Bitmaps.Comb;
  comb.Assign(Bitmaps.TexA);
  WeightToAlpha(Bitmaps.TexB, Bitmaps.Weightmap);
  if (comb.IsEmpty()) return;
  TransferBlock(&comb, 0, 0, comb.FullRect(), Bitmaps.TexB, Bitmaps.TexB->FullRect(), dmBlend);
}
