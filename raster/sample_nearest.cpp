#include "raster/blend.h"
#include "raster/mmx_reset.h"
#include "raster/resample.h"
#include "raster/resample_helpers.h"

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

// The row gather's plan: shuffle groups of four columns, RowLength bounding
// the window loads.
class TNearestGather {
public:
  TNearestGather(const std::vector<int32_t>& Columns, int32_t RowLength)
      : groups_(Columns.size() / 4) {
    for (size_t g = 0; g < groups_.size(); ++g)
      Prepare(groups_[g], Columns.data() + 4 * g, RowLength);
    plan_ = {Columns.data(), int32_t(Columns.size()), groups_.data(), UniformStep(), RowLength};
  }
  TNearestGather(const TNearestGather&) = delete;
  TNearestGather& operator=(const TNearestGather&) = delete;

  void Row(const TColor32* Row, TColor32* Out) const { gather_(Row, plan_, Out); }

private:
  static void Prepare(TGatherGroup& Group, const int32_t* C, int32_t RowLength) {
    const int32_t span = C[3] - C[0];
    Group.TwoWindows = span >= 4;
    const int64_t reach = int64_t(C[0]) + (Group.TwoWindows ? 8 : 4);
    if (span >= 8 || reach > RowLength) {
      Group.First = -1;
      return;
    }
    Group.First = C[0];
    for (int32_t k = 0; k < 4; ++k) {
      const uint32_t offset = uint32_t(C[k] - C[0]);
      // Byte b of a pixel picks byte 4 x offset + b of its window.
      const uint32_t pick = 0x03020100u + (offset % 4) * 0x04040404u;
      const uint32_t low = offset < 4 ? pick : 0x80808080u;
      const uint32_t high = offset < 4 ? 0x80808080u : pick;
      std::memcpy(Group.Low + 4 * k, &low, 4);
      std::memcpy(Group.High + 4 * k, &high, 4);
    }
  }

  int32_t UniformStep() const {
    if (groups_.size() < 2 || groups_[0].First < 0) return 0;
    const int32_t step = groups_[1].First - groups_[0].First;
    if (step <= 0) return 0;
    for (size_t g = 1; g < groups_.size(); ++g) {
      const TGatherGroup& a = groups_[g - 1];
      const TGatherGroup& b = groups_[g];
      if (b.First < 0 || b.First - a.First != step ||
          std::memcmp(a.Low, b.Low, sizeof a.Low) != 0 ||
          std::memcmp(a.High, b.High, sizeof a.High) != 0)
        return 0;
    }
    return step;
  }

  std::vector<TGatherGroup> groups_;
  TGatherPlan plan_{};
  TGatherRow gather_ = ResampleHelpers().GatherRow;
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

  const TNearestGather gather(columns, Src->Width());
  const ptrdiff_t dstStride = Dst->Width();
  TColor32* d = Dst->PixelAddress(DstArea.Left, DstArea.Top);
  int32_t lastRow = -1;

  if (CombineOp == dmOpaque) {
    // Prefetching the source row two destination rows ahead, about one cache
    // line per step, hides most of the memory latency of strong reductions.
    const int64_t srcW = int64_t(SrcRect.Right) - SrcRect.Left;
    const int64_t dstW = int64_t(DstRect.Right) - DstRect.Left;
    const int32_t prefetchStep = int32_t(std::clamp<int64_t>(16 * dstW / srcW, 1, 16));
    const bool prefetch = srcW >= 3 * dstW;
    for (int32_t y = DstArea.Top; y < DstArea.Bottom; ++y, d += dstStride) {
      const int32_t srcY = rowOf(y);
      if (srcY == lastRow) {
        std::memcpy(d, d - dstStride, size_t(clipW) * sizeof(TColor32));
        continue;
      }
      if (prefetch && y + 1 < DstArea.Bottom) {
        const int32_t nextY = rowOf(std::min<int64_t>(int64_t(y) + 2, DstArea.Bottom - 1));
        if (nextY != srcY) {
          const TColor32* next = Src->RowAddress(nextY);
          for (int32_t i = 0; i < clipW; i += prefetchStep)
            __builtin_prefetch(next + columns[size_t(i)]);
        }
      }
      gather.Row(Src->RowAddress(srcY), d);
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
      gather.Row(Src->RowAddress(srcY), buffer.data());
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
