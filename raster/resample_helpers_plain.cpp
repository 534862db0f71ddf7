// The plain resampling helpers: scalar code that any processor runs.
#include "raster/blend.h"
#include "raster/block_mean.h"
#include "raster/kernel_pack.h"
#include "raster/resample_helpers_sets.h"

#include <algorithm>

namespace {

TColor32 Interpolate4Plain(uint32_t WX, uint32_t WY, const TColor32* P, const TColor32* Q) {
  const uint32_t wx = std::min<uint32_t>(WX >> 16, 255);
  const uint32_t wy = std::min<uint32_t>(WY >> 16, 255);
  const TColor32 top = CombinePixel(P[0], P[1], wx);
  const TColor32 bottom = CombinePixel(Q[0], Q[1], wx);
  return CombinePixel(top, bottom, wy);
}

void InterpolateRowPlain(const TColor32* Row, const TColor32* NextRow,
                         const TInterpolationEntry* XMap, int32_t Count, uint32_t WY,
                         TColor32* Out) {
  for (int32_t i = 0; i < Count; ++i)
    Out[i] = Interpolate4Plain(XMap[i].Weight, WY, Row + XMap[i].Index, NextRow + XMap[i].Index);
}

// Sums in 64 bits hold any block.
TColor32 BlockAveragePlain(int32_t Width, int32_t Height, const TColor32* P, ptrdiff_t Stride) {
  uint64_t sumB = 0, sumG = 0, sumR = 0, sumA = 0;
  const auto* row = reinterpret_cast<const uint8_t*>(P);
  for (int32_t y = 0; y < Height; ++y, row += Stride) {
    const auto* pixels = reinterpret_cast<const TColor32*>(row);
    for (int32_t x = 0; x < Width; ++x) {
      const TColor32 c = pixels[x];
      sumB += c & 0xFF;
      sumG += (c >> 8) & 0xFF;
      sumR += (c >> 16) & 0xFF;
      sumA += c >> 24;
    }
  }
  return BlockMean(sumB, sumG, sumR, sumA, uint64_t(Width) * uint64_t(Height));
}

void VerticalPassPlain(const TColor32* Base, const TKernelTap* Taps, int32_t TapCount,
                       int32_t Count, int32_t* Sums) {
  std::fill(Sums, Sums + 4 * ptrdiff_t(Count), 0);
  for (int32_t t = 0; t < TapCount; ++t) {
    const TColor32* row = Base + Taps[t].Offset;
    const int32_t w = Taps[t].Weight;
    for (int32_t x = 0; x < Count; ++x) {
      const TColor32 c = row[x];
      int32_t* s = Sums + 4 * ptrdiff_t(x);
      s[0] += w * int32_t(c & 0xFF);
      s[1] += w * int32_t((c >> 8) & 0xFF);
      s[2] += w * int32_t((c >> 16) & 0xFF);
      s[3] += w * int32_t(c >> 24);
    }
  }
}

void HorizontalPassPlain(const int32_t* Sums, const TKernelTap* Taps, const int32_t* Starts,
                         int32_t Count, bool Clamp, TColor32* Out) {
  for (int32_t i = 0; i < Count; ++i) {
    int32_t acc[4] = {0, 0, 0, 0};
    for (int32_t t = Starts[i]; t < Starts[i + 1]; ++t) {
      const int32_t* s = Sums + 4 * Taps[t].Offset;
      const int32_t w = Taps[t].Weight;
      for (int c = 0; c < 4; ++c) acc[c] += w * s[c];
    }
    Out[i] = PackKernelPixel(acc, Clamp);
  }
}

void GatherRowPlain(const TColor32* Row, const TGatherPlan& Plan, TColor32* Out) {
  for (int32_t i = 0; i < Plan.Count; ++i) Out[i] = Row[Plan.Columns[i]];
}

}  // namespace

TResampleHelpers PlainResampleHelpers() {
  return {Interpolate4Plain, InterpolateRowPlain, BlockAveragePlain, VerticalPassPlain,
          HorizontalPassPlain, GatherRowPlain};
}
