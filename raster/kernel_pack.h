#pragma once

#include "raster/color.h"

#include <algorithm>
#include <cstdint>

// A channel sum of the kernel resampler holds the value in units of 1/65,536.
// Filters with negative lobes clamp it to 0..255 first; the others, whose
// sums never leave that range, only mask it.
inline TColor32 PackKernelChannel(int32_t Sum, bool Clamp) {
  if (Clamp) Sum = std::clamp<int32_t>(Sum, 0, 0xFF0000);
  return (uint32_t(Sum) & 0xFF0000u) >> 16;
}

inline TColor32 PackKernelPixel(const int32_t* Sums, bool Clamp) {
  return PackKernelChannel(Sums[3], Clamp) << 24 | PackKernelChannel(Sums[2], Clamp) << 16 |
         PackKernelChannel(Sums[1], Clamp) << 8 | PackKernelChannel(Sums[0], Clamp);
}
