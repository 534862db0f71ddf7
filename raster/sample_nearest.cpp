#include "raster/blend.h"
#include "raster/mmx_reset.h"
#include "raster/resample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The source position of each destination pixel of the clipped span on one
// axis, relative to the whole destination rectangle. The scale is rounded to
// single precision and the products are formed in double, so 10 columns into
// 6 show column 4, not 5, at destination column 3 (pinned by the
// NearestMapping tests). A one-pixel destination shows the middle pixel.
class TNearestAxis {
public:
  TNearestAxis(int32_t DstLo, int32_t DstHi, int32_t SrcLo, int32_t SrcHi)
      : dstLo_(DstLo), srcLo_(SrcLo), srcHi_(SrcHi) {
    const int64_t srcW = int64_t(SrcHi) - SrcLo;
    const int64_t dstW = int64_t(DstHi) - DstLo;
    single_ = dstW == 1;
    scale_ = float(double(srcW) / double(dstW));
  }

  int32_t operator()(int64_t Dst) const {
    if (single_) return int32_t((int64_t(srcLo_) + srcHi_ - 1) / 2);
    const double pos = double(Dst - dstLo_) * double(scale_) + double(srcLo_);
    // The clamp never acts below 2^24 destination pixels; beyond, the
    // single-precision scale could step past the last source pixel.
    return int32_t(std::min<int64_t>(int64_t(pos), int64_t(srcHi_) - 1));
  }

private:
  int32_t dstLo_, srcLo_, srcHi_;
  bool single_;
  float scale_;
};

}  // namespace

void SampleNearest(TBitmap32* Dst, TRect DstRect, TRect DstArea, TBitmap32* Src, TRect SrcRect,
                   TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  TMMXStateReset reset;
  const int32_t clipW = DstArea.Right - DstArea.Left;
  const TNearestAxis columnOf(DstRect.Left, DstRect.Right, SrcRect.Left, SrcRect.Right);
  const TNearestAxis rowOf(DstRect.Top, DstRect.Bottom, SrcRect.Top, SrcRect.Bottom);
  std::vector<int32_t> columns(static_cast<size_t>(clipW));
  for (int32_t i = 0; i < clipW; ++i) columns[size_t(i)] = columnOf(int64_t(DstArea.Left) + i);

  const ptrdiff_t dstStride = Dst->Width();
  TColor32* d = Dst->PixelAddress(DstArea.Left, DstArea.Top);
  int32_t lastRow = -1;

  if (CombineOp == dmOpaque) {
    for (int32_t y = DstArea.Top; y < DstArea.Bottom; ++y, d += dstStride) {
      const int32_t srcY = rowOf(y);
      if (srcY == lastRow) {
        std::memcpy(d, d - dstStride, size_t(clipW) * sizeof(TColor32));
        continue;
      }
      const TColor32* s = Src->RowAddress(srcY);
      for (int32_t i = 0; i < clipW; ++i) d[i] = s[columns[size_t(i)]];
      lastRow = srcY;
    }
    return;
  }

  TArrayOfColor32 buffer(static_cast<size_t>(clipW));
  const uint32_t master = Src->MasterAlpha();
  const TBlendRow row = RowRoutines.Rows[Src->CombineMode()];
  const TBlendRowMaster rowMaster = RowRoutines.Masters[Src->CombineMode()];
  for (int32_t y = DstArea.Top; y < DstArea.Bottom; ++y, d += dstStride) {
    ClearMMXState();
    const int32_t srcY = rowOf(y);
    if (srcY != lastRow) {
      const TColor32* s = Src->RowAddress(srcY);
      for (int32_t i = 0; i < clipW; ++i) buffer[size_t(i)] = s[columns[size_t(i)]];
      lastRow = srcY;
    }
    if (CombineOp == dmBlend) {
      if (master < 255)
        rowMaster(buffer.data(), d, clipW, master);
      else
        row(buffer.data(), d, clipW);
    } else {
      for (int32_t i = 0; i < clipW; ++i) CombineCallBack(buffer[size_t(i)], d[i], master);
    }
  }
}
