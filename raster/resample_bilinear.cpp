#include "raster/mmx_reset.h"
#include "raster/resample.h"
#include "raster/resample_helpers.h"
#include "raster/resample_output.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// One axis: for each destination pixel of the clipped span, the left (or
// upper) pixel of its source pair and that pixel's weight 0..256, packed
// into both halves. Positions are clamped to the bitmap (Limit pixels), not
// to the source span, so up to half a pixel before a span that does not
// start at 0 mixes with the pixel just outside it.
std::vector<TInterpolationEntry> BuildInterpolationMap(int32_t DstLo, int32_t DstHi,
                                                       int32_t ClipLo, int32_t ClipHi,
                                                       int32_t SrcLo, int32_t SrcHi,
                                                       int32_t Limit) {
  const int64_t srcW = int64_t(SrcHi) - SrcLo;
  const int64_t dstW = int64_t(DstHi) - DstLo;
  const float scale = float(double(srcW) / double(dstW));
  std::vector<TInterpolationEntry> map(size_t(int64_t(ClipHi) - ClipLo));
  for (size_t i = 0; i < map.size(); ++i) {
    float p = float((double(int64_t(ClipLo) + int64_t(i) - DstLo) + 0.5) * scale +
                    (double(SrcLo) - 0.5));
    if (p < 0.0f) p = 0.0f;
    if (p > float(Limit - 1)) p = float(Limit - 1);
    const float index = std::floor(p);
    const uint32_t weight = 256 - uint32_t(std::nearbyint((p - index) * 256.0f));
    map[i] = {int32_t(index), weight | (weight << 16)};
  }
  // The pair (Index, Index + 1) must not reach past the span's last pixel.
  for (size_t i = map.size(); i-- > 0 && map[i].Index >= SrcHi - 1;) map[i] = {SrcHi - 2, 0};
  return map;
}

}  // namespace

void ResampleBilinear(TBitmap32* Dst, TRect DstRect, TRect DstArea, TBitmap32* Src,
                      TRect SrcRect, TDrawMode CombineOp,
                      const TPixelCombineEvent& CombineCallBack) {
  TMMXStateReset reset;
  const std::vector<TInterpolationEntry> columns =
      BuildInterpolationMap(DstRect.Left, DstRect.Right, DstArea.Left, DstArea.Right,
                            SrcRect.Left, SrcRect.Right, Src->Width());
  const std::vector<TInterpolationEntry> rows =
      BuildInterpolationMap(DstRect.Top, DstRect.Bottom, DstArea.Top, DstArea.Bottom,
                            SrcRect.Top, SrcRect.Bottom, Src->Height());

  const TResampleOutput output(*Src, CombineOp, CombineCallBack);
  const TInterpolateRow interpolate = ResampleHelpers().InterpolateRow;
  const int32_t clipW = DstArea.Right - DstArea.Left;
  std::vector<TColor32> row(output.WritesDirectly() ? 0 : size_t(clipW));
  for (size_t j = 0; j < rows.size(); ++j) {
    const TColor32* upper = Src->RowAddress(rows[j].Index);
    TColor32* dstRow = Dst->PixelAddress(DstArea.Left, DstArea.Top + int32_t(j));
    TColor32* out = output.WritesDirectly() ? dstRow : row.data();
    interpolate(upper, upper + Src->Width(), columns.data(), clipW, rows[j].Weight, out);
    if (!output.WritesDirectly()) output.Put(out, dstRow, clipW);
  }
}
