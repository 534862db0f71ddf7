#include "raster/mapping_table.h"
#include "raster/mmx_reset.h"
#include "raster/resample.h"
#include "raster/resample_helpers_sets.h"
#include "raster/resample_output.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// The horizontal table as one run of taps, offsets counted in sum records
// from the lowest source column any cluster uses.
struct TFlatTable {
  std::vector<TKernelTap> Taps;
  std::vector<int32_t> Starts;
};

TFlatTable Flatten(const TMappingTable& Table, int32_t Lowest) {
  TFlatTable flat;
  flat.Starts.reserve(Table.size() + 1);
  for (const TCluster& cluster : Table) {
    flat.Starts.push_back(int32_t(flat.Taps.size()));
    for (const ClusterEntry& e : cluster)
      flat.Taps.push_back({ptrdiff_t(e.SourceIndex) - Lowest, e.Weight});
  }
  flat.Starts.push_back(int32_t(flat.Taps.size()));
  return flat;
}

bool WeightsFit16Bits(const TMappingTable& Table) {
  for (const TCluster& cluster : Table)
    for (const ClusterEntry& e : cluster)
      if (e.Weight < std::numeric_limits<int16_t>::min() ||
          e.Weight > std::numeric_limits<int16_t>::max())
        return false;
  return true;
}

}  // namespace

void ResampleKernel(TBitmap32* Dst, TRect DstRect, TRect DstArea, TBitmap32* Src, TRect SrcRect,
                    TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack,
                    TStretchFilter Filter) {
  TMMXStateReset reset;
  const TMappingTable horizontal = BuildMappingTable(DstRect.Left, DstRect.Right, DstArea.Left,
                                                     DstArea.Right, SrcRect.Left, SrcRect.Right,
                                                     Filter);
  const TMappingTable vertical = BuildMappingTable(DstRect.Top, DstRect.Bottom, DstArea.Top,
                                                   DstArea.Bottom, SrcRect.Top, SrcRect.Bottom,
                                                   Filter);
  if (horizontal.empty() || vertical.empty()) return;

  // The source column range is taken over every cluster, not only the first
  // and last: a clipped table may start or end on a cluster narrower than
  // its neighbours.
  int32_t xLo = std::numeric_limits<int32_t>::max();
  int32_t xHi = std::numeric_limits<int32_t>::min();
  for (const TCluster& cluster : horizontal)
    for (const ClusterEntry& e : cluster) {
      xLo = std::min(xLo, e.SourceIndex);
      xHi = std::max(xHi, e.SourceIndex);
    }
  const int32_t columns = xHi - xLo + 1;
  const TFlatTable flatH = Flatten(horizontal, xLo);

  const TResampleHelpers& helpers = ResampleHelpers();
  const TResampleHelpers plain = PlainResampleHelpers();
  const TKernelVerticalPass verticalPass =
      WeightsFit16Bits(vertical) ? helpers.VerticalPass : plain.VerticalPass;
  const bool clamp = Filter == sfLanczos || Filter == sfMitchell;

  const TResampleOutput output(*Src, CombineOp, CombineCallBack);
  const int32_t clipW = DstArea.Right - DstArea.Left;
  std::vector<int32_t> sums(size_t(columns) * 4);
  std::vector<TColor32> row(output.WritesDirectly() ? 0 : size_t(clipW));
  std::vector<TKernelTap> verticalTaps;
  const TColor32* base = Src->PixelData() + xLo;
  const ptrdiff_t srcStride = Src->Width();

  for (int32_t y = DstArea.Top; y < DstArea.Bottom; ++y) {
    const TCluster& cv = vertical[size_t(y - DstArea.Top)];
    verticalTaps.clear();
    for (const ClusterEntry& e : cv) verticalTaps.push_back({e.SourceIndex * srcStride, e.Weight});
    verticalPass(base, verticalTaps.data(), int32_t(verticalTaps.size()), columns, sums.data());

    TColor32* dstRow = Dst->PixelAddress(DstArea.Left, y);
    TColor32* out = output.WritesDirectly() ? dstRow : row.data();
    helpers.HorizontalPass(sums.data(), flatH.Taps.data(), flatH.Starts.data(), clipW, clamp,
                           out);
    if (!output.WritesDirectly()) output.Put(out, dstRow, clipW);
  }
}
