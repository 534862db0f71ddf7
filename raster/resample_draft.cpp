#include "raster/mmx_reset.h"
#include "raster/resample.h"
#include "raster/resample_helpers.h"
#include "raster/resample_output.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Block edges on one axis, absolute source positions: destination pixel n of
// the clipped span averages Edges[n] .. Edges[n + 1] - 1. The edges come from
// a 16.16 fixed-point step; the products are formed in 64 bits, so spans of
// 65,536 pixels and more do not wrap. Every block keeps at least one pixel
// and stays inside the source span.
std::vector<int64_t> BlockEdges(int32_t DstLo, int32_t DstHi, int32_t ClipLo, int32_t ClipHi,
                                int32_t SrcLo, int32_t SrcHi) {
  const int64_t srcW = int64_t(SrcHi) - SrcLo;
  const int64_t dstW = int64_t(DstHi) - DstLo;
  const float scale = float(double(srcW) / double(dstW));
  const uint64_t step = uint64_t(double(scale) * 65536.0);
  const int64_t start = SrcLo + int64_t(double(int64_t(ClipLo) - DstLo) * scale);
  const int64_t count = int64_t(ClipHi) - ClipLo;
  std::vector<int64_t> edges(size_t(count + 1));
  for (int64_t k = 0; k <= count; ++k) {
    const int64_t edge = start + int64_t((uint64_t(k) * step) >> 16);
    edges[size_t(k)] = std::clamp<int64_t>(edge, SrcLo, SrcHi);
  }
  for (int64_t k = count - 1; k >= 0; --k) {
    edges[size_t(k)] = std::min<int64_t>(edges[size_t(k)], SrcHi - 1);
    edges[size_t(k + 1)] = std::max(edges[size_t(k + 1)], edges[size_t(k)] + 1);
  }
  return edges;
}

}  // namespace

void ResampleDraft(TBitmap32* Dst, TRect DstRect, TRect DstArea, TBitmap32* Src, TRect SrcRect,
                   TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  const int64_t srcW = int64_t(SrcRect.Right) - SrcRect.Left;
  const int64_t srcH = int64_t(SrcRect.Bottom) - SrcRect.Top;
  const int64_t dstW = int64_t(DstRect.Right) - DstRect.Left;
  const int64_t dstH = int64_t(DstRect.Bottom) - DstRect.Top;
  if (srcW < dstW || srcH < dstH) {
    if (srcW < 2 || srcH < 2)
      ResampleKernel(Dst, DstRect, DstArea, Src, SrcRect, CombineOp, CombineCallBack, sfLinear);
    else
      ResampleBilinear(Dst, DstRect, DstArea, Src, SrcRect, CombineOp, CombineCallBack);
    return;
  }

  TMMXStateReset reset;
  const std::vector<int64_t> xs = BlockEdges(DstRect.Left, DstRect.Right, DstArea.Left,
                                             DstArea.Right, SrcRect.Left, SrcRect.Right);
  const std::vector<int64_t> ys = BlockEdges(DstRect.Top, DstRect.Bottom, DstArea.Top,
                                             DstArea.Bottom, SrcRect.Top, SrcRect.Bottom);
  const TResampleOutput output(*Src, CombineOp, CombineCallBack);
  const TBlockAverage average = ResampleHelpers().BlockAverage;
  const int32_t clipW = DstArea.Right - DstArea.Left;
  const ptrdiff_t stride = ptrdiff_t(Src->Width()) * ptrdiff_t(sizeof(TColor32));
  std::vector<TColor32> row(output.WritesDirectly() ? 0 : size_t(clipW));
  for (size_t m = 0; m + 1 < ys.size(); ++m) {
    const int32_t top = int32_t(ys[m]);
    const int32_t height = int32_t(ys[m + 1] - ys[m]);
    TColor32* dstRow = Dst->PixelAddress(DstArea.Left, DstArea.Top + int32_t(m));
    TColor32* out = output.WritesDirectly() ? dstRow : row.data();
    for (int32_t n = 0; n < clipW; ++n) {
      const int32_t left = int32_t(xs[size_t(n)]);
      out[n] = average(int32_t(xs[size_t(n) + 1] - left), height, Src->PixelAddress(left, top),
                       stride);
    }
    if (!output.WritesDirectly()) output.Put(out, dstRow, clipW);
  }
}
