#pragma once

#include "raster/color.h"

#include <cstdint>

// The mean of a block from its four channel sums. Up to 2^24 pixels it uses
// the reciprocal E = 2^24 div Count in 8.24 fixed point, which rounds down
// and lands a little below the true mean when Count does not divide 2^24
// (pinned by DraftAveragesTheBlocksRoundingDown). Larger blocks would get E = 0, so
// they divide directly.
inline TColor32 BlockMean(uint64_t SumB, uint64_t SumG, uint64_t SumR, uint64_t SumA,
                          uint64_t Count) {
  if (Count == 0) return 0;
  if (Count <= 0x1000000u) {
    // Each sum is at most 255 x Count, so the products stay below 2^32.
    const uint32_t e = uint32_t(0x1000000u / Count);
    const uint32_t a = (uint32_t(SumA) * e) & 0xFF000000u;
    const uint32_t r = ((uint32_t(SumR) * e) >> 8) & 0xFF0000u;
    const uint32_t g = ((uint32_t(SumG) * e) >> 16) & 0xFF00u;
    const uint32_t b = ((uint32_t(SumB) * e) >> 24) & 0xFFu;
    return a | r | g | b;
  }
  return TColor32(SumA / Count) << 24 | TColor32(SumR / Count) << 16 |
         TColor32(SumG / Count) << 8 | TColor32(SumB / Count);
}
