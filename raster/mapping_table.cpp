#include "raster/mapping_table.h"

#include "raster/filter_kernel.h"

#include <algorithm>
#include <cmath>

namespace {

int32_t RoundWeight(double V) { return int32_t(std::nearbyint(V)); }

// Adds J's weight, with positions beyond the source span folded onto its
// first or last pixel.
void Append(TCluster& Cluster, int64_t J, int32_t Weight, int32_t SrcLo, int32_t SrcHi) {
  if (Weight == 0) return;
  Cluster.push_back({int32_t(std::clamp<int64_t>(J, SrcLo, int64_t(SrcHi) - 1)), Weight});
}

// Rounding leaves the sum a little off 256; the middle entry absorbs it.
void Normalise(TCluster& Cluster) {
  int32_t sum = 0;
  for (const ClusterEntry& e : Cluster) sum += e.Weight;
  if (sum != 256) Cluster[(Cluster.size() - 1) / 2].Weight -= sum - 256;
}

}  // namespace

TMappingTable BuildMappingTable(int32_t DstLo, int32_t DstHi, int32_t ClipLo, int32_t ClipHi,
                                int32_t SrcLo, int32_t SrcHi, TStretchFilter Filter) {
  const int64_t srcW = int64_t(SrcHi) - SrcLo;
  const int64_t dstW = int64_t(DstHi) - DstLo;
  const int64_t clipW = std::max<int64_t>(int64_t(ClipHi) - ClipLo, 0);
  TMappingTable table;
  if (srcW <= 0) return table;
  table.resize(size_t(clipW));
  if (srcW == 1) {
    for (TCluster& c : table) c.push_back({SrcLo, 256});
    return table;
  }

  const float scale = float(double(dstW) / double(srcW));
  const float invScale = float(1.0 / double(scale));
  const TFilterKernel kernel = FilterKernel(Filter);
  const bool reducing = scale < 1.0f;
  const float radius = reducing ? kernel.Radius * invScale : kernel.Radius;

  for (int64_t i = 0; i < clipW; ++i) {
    TCluster& cluster = table[size_t(i)];
    // The source position of the destination pixel's centre, in pixel-centre
    // coordinates.
    const float center =
        float((double(ClipLo + i - DstLo) + 0.5) * invScale + (double(SrcLo) - 0.5));
    const int64_t first = int64_t(std::floor(double(center) - radius));
    const int64_t last = int64_t(std::ceil(double(center) + radius));
    for (int64_t j = first; j <= last; ++j) {
      int32_t weight;
      if (reducing) {
        const float x = float((double(center) - double(j)) * scale);
        weight = RoundWeight(double(kernel.Weight(x)) * 256.0 * scale);
      } else {
        weight = RoundWeight(double(kernel.Weight(float(double(center) - double(j)))) * 256.0);
      }
      Append(cluster, j, weight, SrcLo, SrcHi);
    }
    if (cluster.empty()) {
      // Every weight rounded to zero, which only a strong reduction does.
      const int64_t nearest = int64_t(std::floor(double(center)));
      cluster.push_back({int32_t(std::clamp<int64_t>(nearest, SrcLo, int64_t(SrcHi) - 1)), 256});
    } else {
      Normalise(cluster);
    }
  }
  return table;
}
