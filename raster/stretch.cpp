#include "raster/stretch.h"

#include "raster/mmx_reset.h"
#include "raster/resample.h"

bool CheckSourceRect(TBitmap32* Src, const TRect& SrcRect) {
  if (RectIsEmpty(SrcRect)) return false;
  if (SrcRect.Left < 0 || SrcRect.Top < 0 || SrcRect.Right > Src->Width() ||
      SrcRect.Bottom > Src->Height())
    throw ETransformError("Source rectangle is invalid");
  return true;
}

void TransferStretched(TBitmap32* Dst, TRect DstRect, TRect DstClip, TBitmap32* Src, TRect SrcRect,
                       TStretchFilter StretchFilter, TDrawMode CombineOp,
                       const TPixelCombineEvent& CombineCallBack) {
  if (Src == nullptr) throw ETransformError("Source bitmap is nil or empty");
  if (Src->IsEmpty()) return;
  CheckTransferBitmaps(Dst, Src);
  if (!CheckSourceRect(Src, SrcRect)) return;
  TRect dstArea = RectIntersection(DstClip, Dst->FullRect()).Rect;
  dstArea = RectIntersection(dstArea, DstRect).Rect;
  if (RectIsEmpty(dstArea)) return;
  if (CombineOp == dmCustom && !CombineCallBack) CombineOp = dmOpaque;
  if (CombineOp == dmBlend && Src->MasterAlpha() == 0) return;

  const int64_t srcW = int64_t(SrcRect.Right) - SrcRect.Left;
  const int64_t srcH = int64_t(SrcRect.Bottom) - SrcRect.Top;
  const int64_t dstW = int64_t(DstRect.Right) - DstRect.Left;
  const int64_t dstH = int64_t(DstRect.Bottom) - DstRect.Top;

  TMMXStateReset reset;
  if (dstW == srcW && dstH == srcH) {
    TransferRows(Dst, dstArea, Src, SrcRect.Left + dstArea.Left - DstRect.Left,
                 SrcRect.Top + dstArea.Top - DstRect.Top, CombineOp, CombineCallBack);
    return;
  }
  switch (StretchFilter) {
    case sfNearest:
      SampleNearest(Dst, DstRect, dstArea, Src, SrcRect, CombineOp, CombineCallBack);
      break;
    case sfDraft:
      ResampleDraft(Dst, DstRect, dstArea, Src, SrcRect, CombineOp, CombineCallBack);
      break;
    case sfLinear:
      if (dstW > srcW && dstH > srcH && srcW > 1 && srcH > 1)
        ResampleBilinear(Dst, DstRect, dstArea, Src, SrcRect, CombineOp, CombineCallBack);
      else
        ResampleKernel(Dst, DstRect, dstArea, Src, SrcRect, CombineOp, CombineCallBack, sfLinear);
      break;
    case sfCosine:
    case sfSpline:
    case sfLanczos:
    case sfMitchell:
      ResampleKernel(Dst, DstRect, dstArea, Src, SrcRect, CombineOp, CombineCallBack,
                     StretchFilter);
      break;
  }
}

void TBitmap32::DrawInto(TBitmap32* Dst, const TRect& DstRect) {
  if (IsEmpty()) return;
  if (Dst == nullptr) throw ETransformError("Destination bitmap is nil or empty");
  if (Dst->IsEmpty()) return;
  TransferStretched(Dst, DstRect, Dst->ClipArea(), this, FullRect(), StretchFilter(), DrawMode(),
                    OnPixelCombine);
  Dst->NotifyChanged();
}
