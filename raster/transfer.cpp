#include "raster/transfer.h"

#include "raster/blend.h"
#include "raster/mmx_reset.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace {

// A rectangle whose coordinates may lie beyond the 32-bit range: the block
// transfer shifts by the difference of two caller-supplied positions.
struct TWideRect {
  int64_t Left, Top, Right, Bottom;
};

TWideRect Widen(const TRect& R) { return {R.Left, R.Top, R.Right, R.Bottom}; }

TWideRect Shift(const TWideRect& R, int64_t DX, int64_t DY) {
  return {R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY};
}

int32_t ClampToInt32(int64_t V) {
  return int32_t(std::clamp<int64_t>(V, std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max()));
}

// Forward word copy that tolerates overlap the way a left-to-right loop does:
// later words may read what earlier ones wrote.
void CopyRowForward(const TColor32* S, TColor32* D, int32_t W) {
  if (S == D) return;
  const auto s = reinterpret_cast<uintptr_t>(S), d = reinterpret_cast<uintptr_t>(D);
  const uintptr_t bytes = uintptr_t(W) * sizeof(TColor32);
  const bool overlaps = s < d + bytes && d < s + bytes;
  if (!overlaps) {
    CopyWords(S, D, W);
    return;
  }
  for (int32_t i = 0; i < W; ++i) D[i] = S[i];
}

}  // namespace

TRectIntersection RectIntersection(const TRect& R1, const TRect& R2) {
  const TRect r{std::max(R1.Left, R2.Left), std::max(R1.Top, R2.Top),
                std::min(R1.Right, R2.Right), std::min(R1.Bottom, R2.Bottom)};
  if (r.Right >= r.Left && r.Bottom >= r.Top) return {r, true};
  return {TRect{}, false};
}

TRect ShiftRect(const TRect& R, int32_t DX, int32_t DY) {
  // Coordinates that would leave the 32-bit range stop at its ends.
  const TWideRect s = Shift(Widen(R), DX, DY);
  return {ClampToInt32(s.Left), ClampToInt32(s.Top), ClampToInt32(s.Right),
          ClampToInt32(s.Bottom)};
}

bool RectIsEmpty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

void CheckTransferBitmaps(TBitmap32* Dst, TBitmap32* Src) {
  if (Dst == nullptr || Dst->IsEmpty())
    throw ETransformError("Destination bitmap is nil or empty");
  if (Src == nullptr || Src->IsEmpty()) throw ETransformError("Source bitmap is nil or empty");
}

void TransferRows(TBitmap32* Dst, const TRect& DstArea, TBitmap32* Src, int32_t SrcX, int32_t SrcY,
                  TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  const int32_t w = DstArea.Right - DstArea.Left;
  const int32_t h = DstArea.Bottom - DstArea.Top;
  const ptrdiff_t srcStride = Src->Width();
  const ptrdiff_t dstStride = Dst->Width();
  const TColor32* s = Src->PixelAddress(SrcX, SrcY);
  TColor32* d = Dst->PixelAddress(DstArea.Left, DstArea.Top);
  const uint32_t master = Src->MasterAlpha();

  switch (CombineOp) {
    case dmOpaque:
      for (int32_t y = 0; y < h; ++y, s += srcStride, d += dstStride) CopyRowForward(s, d, w);
      break;
    case dmBlend:
      if (master < 255) {
        const TBlendRowMaster row = RowRoutines.Masters[Src->CombineMode()];
        for (int32_t y = 0; y < h; ++y, s += srcStride, d += dstStride) row(s, d, w, master);
      } else {
        const TBlendRow row = RowRoutines.Rows[Src->CombineMode()];
        for (int32_t y = 0; y < h; ++y, s += srcStride, d += dstStride) row(s, d, w);
      }
      break;
    case dmCustom:
      for (int32_t y = 0; y < h; ++y, s += srcStride, d += dstStride)
        for (int32_t x = 0; x < w; ++x) CombineCallBack(s[x], d[x], master);
      break;
  }
}

void TransferBlock(TBitmap32* Dst, int32_t DstX, int32_t DstY, TRect DstClip, TBitmap32* Src,
                   TRect SrcRect, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  if (Src == nullptr) throw ETransformError("Source bitmap is nil or empty");
  if (Src->IsEmpty()) return;
  CheckTransferBitmaps(Dst, Src);
  if (CombineOp == dmCustom && !CombineCallBack) CombineOp = dmOpaque;
  if (CombineOp == dmBlend && Src->MasterAlpha() == 0) return;

  // The shift uses the corner the caller gave, so clipping the source on its
  // left or top moves the destination start by the same amount.
  const int64_t sx0 = SrcRect.Left;
  const int64_t sy0 = SrcRect.Top;
  DstClip = RectIntersection(DstClip, Dst->FullRect()).Rect;
  SrcRect = RectIntersection(SrcRect, Src->FullRect()).Rect;
  const TWideRect shifted = Shift(Widen(SrcRect), DstX - sx0, DstY - sy0);
  const TWideRect area{std::max<int64_t>(DstClip.Left, shifted.Left),
                       std::max<int64_t>(DstClip.Top, shifted.Top),
                       std::min<int64_t>(DstClip.Right, shifted.Right),
                       std::min<int64_t>(DstClip.Bottom, shifted.Bottom)};
  if (area.Right <= area.Left || area.Bottom <= area.Top) return;
  // A non-empty area lies inside DstClip, so it fits 32 bits again.
  const TRect dstArea{int32_t(area.Left), int32_t(area.Top), int32_t(area.Right),
                      int32_t(area.Bottom)};
  const int64_t srcX = dstArea.Left + sx0 - DstX;
  const int64_t srcY = dstArea.Top + sy0 - DstY;

  TMMXStateReset reset;
  TransferRows(Dst, dstArea, Src, int32_t(srcX), int32_t(srcY), CombineOp, CombineCallBack);
}
