// Filling a bitmap against a plain std::fill of the same bytes.
#include "raster/bitmap32.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

void BM_FillAll(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  TBitmap32 b;
  b.SetDimensions(size, size);
  for (auto _ : state) {
    b.FillAll(0xFF102030);
    benchmark::DoNotOptimize(b.PixelData());
  }
  state.SetItemsProcessed(state.iterations() * size * size);
}
BENCHMARK(BM_FillAll)->Arg(256)->Arg(4096);

void BM_StdFill(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  std::vector<TColor32> pixels(size_t(size) * size);
  for (auto _ : state) {
    std::fill(pixels.begin(), pixels.end(), 0xFF102030u);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * size * size);
}
BENCHMARK(BM_StdFill)->Arg(256)->Arg(4096);

}  // namespace
