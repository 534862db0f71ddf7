#pragma once

// Block transfer: a rectangle of one bitmap put onto another at an integer
// position, clipped to both bitmaps and a clipping rectangle, combined by a
// TDrawMode. Transfers send no change notification.

#include "platform/exceptions.h"
#include "raster/bitmap32.h"

#include <cstdint>

class ETransformError : public Exception {
public:
  using Exception::Exception;
};

struct TRectIntersection {
  TRect Rect;
  bool Intersects;
};

TRectIntersection RectIntersection(const TRect& R1, const TRect& R2);
TRect ShiftRect(const TRect& R, int32_t DX, int32_t DY);
bool RectIsEmpty(const TRect& R);

void CheckTransferBitmaps(TBitmap32* Dst, TBitmap32* Src);

// Unchecked row engine: DstArea is non-empty and inside Dst, and the area of
// the same size at (SrcX, SrcY) lies inside Src.
void TransferRows(TBitmap32* Dst, const TRect& DstArea, TBitmap32* Src, int32_t SrcX, int32_t SrcY,
                  TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);

void TransferBlock(TBitmap32* Dst, int32_t DstX, int32_t DstY, TRect DstClip, TBitmap32* Src,
                   TRect SrcRect, TDrawMode CombineOp,
                   const TPixelCombineEvent& CombineCallBack = {});
