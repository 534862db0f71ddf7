#pragma once

// The pictures of the transfer benchmarks: smooth gradients with a little
// seeded noise, opaque, the same on every run. write_bench_pictures stores
// them for the Pillow comparison, which must work on the same pixels.

#include "raster/bitmap32.h"

#include <cstdint>
#include <memory>

inline std::unique_ptr<TBitmap32> BenchPicture(int32_t W, int32_t H) {
  auto b = std::make_unique<TBitmap32>();
  b->SetDimensions(W, H);
  uint32_t state = 0x9E3779B9u ^ uint32_t(W) * 31u ^ uint32_t(H);
  for (int32_t y = 0; y < H; ++y) {
    TColor32* row = b->RowAddress(y);
    for (int32_t x = 0; x < W; ++x) {
      state = state * 1664525u + 1013904223u;
      const uint32_t noise = state >> 27;
      const uint32_t r = (uint32_t(x) * 223 / uint32_t(W) + noise) & 0xFF;
      const uint32_t g = (uint32_t(y) * 211 / uint32_t(H) + noise) & 0xFF;
      const uint32_t bl = ((uint32_t(x + y) * 97 / uint32_t(W + H)) ^ (noise << 2)) & 0xFF;
      row[x] = 0xFF000000u | r << 16 | g << 8 | bl;
    }
  }
  return b;
}

// The benchmark cases shared with the Pillow script: source and output
// sizes, square.
struct TBenchResize {
  int32_t Source;
  int32_t Output;
};
constexpr TBenchResize kReduce{4096, 1024};
constexpr TBenchResize kEnlarge{256, 1024};
constexpr TBenchResize kNearestReduce{512, 256};
constexpr TBenchResize kNearestEnlarge{100, 256};
