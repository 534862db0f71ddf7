// The "next" handler (weightmap generation and recombination) against a
// memcpy of as many bytes as the handler must touch: the weightmap written,
// texture B's alpha rewritten, texture A copied into the combined texture,
// and the blended corner of the combined texture written once more.
#include "app/formula_catalogue.h"
#include "app/weightmap.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t kWeightmapSize = 256;

size_t TouchedBytes(int32_t TextureASize) {
  const size_t weightmap = size_t(kWeightmapSize) * kWeightmapSize;
  const size_t a = size_t(TextureASize) * TextureASize;
  const size_t corner =
      size_t(std::min(TextureASize, kWeightmapSize)) * std::min(TextureASize, kWeightmapSize);
  return (weightmap + weightmap + a + corner) * sizeof(TColor32);
}

void BM_NextHandler(benchmark::State& state) {
  const auto size = static_cast<int32_t>(state.range(0));
  BuildCosTab();
  TBitmap32 a, b, w, c;
  a.SetDimensions(size, size);
  a.FillAll(0xFF406080);
  b.SetDimensions(kWeightmapSize, kWeightmapSize);
  b.FillAll(0xFFC0A080);
  w.SetDimensions(kWeightmapSize, kWeightmapSize);
  const TMixBitmaps bitmaps{&a, &b, &w, &c};
  FormulaIndex = 0;
  for (auto _ : state) {
    SelectFormula(+1, bitmaps, {});
    benchmark::DoNotOptimize(c.PixelData());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(TouchedBytes(size)));
}
BENCHMARK(BM_NextHandler)->Arg(256)->Arg(2048)->Unit(benchmark::kMicrosecond);

void BM_MemcpyTouchedBytes(benchmark::State& state) {
  const size_t bytes = TouchedBytes(static_cast<int32_t>(state.range(0)));
  std::vector<char> from(bytes, 1), to(bytes, 0);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_MemcpyTouchedBytes)->Arg(256)->Arg(2048)->Unit(benchmark::kMicrosecond);

}  // namespace
