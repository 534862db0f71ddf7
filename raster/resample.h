#pragma once

// The scaling routines behind TransferStretched. Each receives what
// TransferStretched prepared: DstRect is the rectangle the whole of SrcRect
// is scaled to, DstArea the non-empty part of it that lies inside Dst and
// the clipping rectangle, SrcRect a non-empty rectangle inside Src, and
// CombineOp already adjusted for an absent callback. Only pixels of DstArea
// are written.

#include "raster/bitmap32.h"

// Picks one source pixel per destination pixel.
void SampleNearest(TBitmap32* Dst, TRect DstRect, TRect DstArea, TBitmap32* Src, TRect SrcRect,
                   TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);

// Separable convolution with the kernel of Filter (sfLinear, sfCosine,
// sfSpline, sfLanczos or sfMitchell).
void ResampleKernel(TBitmap32* Dst, TRect DstRect, TRect DstArea, TBitmap32* Src, TRect SrcRect,
                    TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack,
                    TStretchFilter Filter);

// Bilinear interpolation of 2 x 2 blocks; needs a source of at least 2 x 2.
void ResampleBilinear(TBitmap32* Dst, TRect DstRect, TRect DstArea, TBitmap32* Src,
                      TRect SrcRect, TDrawMode CombineOp,
                      const TPixelCombineEvent& CombineCallBack);

// Box average when reducing on both axes; enlargements go to the bilinear or
// the kernel resampler.
void ResampleDraft(TBitmap32* Dst, TRect DstRect, TRect DstArea, TBitmap32* Src, TRect SrcRect,
                   TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);
