#pragma once

// Stretch transfer: a rectangle of one bitmap scaled into a rectangle of
// another, clipped, combined by a TDrawMode, resampled by a TStretchFilter.
// TBitmap32::DrawInto is the bitmap's own entry to it.

#include "raster/bitmap32.h"
#include "raster/transfer.h"

bool CheckSourceRect(TBitmap32* Src, const TRect& SrcRect);

void TransferStretched(TBitmap32* Dst, TRect DstRect, TRect DstClip, TBitmap32* Src, TRect SrcRect,
                       TStretchFilter StretchFilter, TDrawMode CombineOp,
                       const TPixelCombineEvent& CombineCallBack = {});
