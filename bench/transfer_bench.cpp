// Transfers in output pixels per second: nearest sampling against a memcpy
// of the same output bytes, the block blend, and DrawInto with every filter
// reducing 4096 x 4096 to 1024 x 1024 and enlarging 256 x 256 to 1024 x 1024.
// pillow_resize.py times Pillow on the same pictures and compares.
#include "bench/bench_pictures.h"
#include "raster/stretch.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <vector>

namespace {

TBitmap32& Picture(int32_t Size) {
  static std::map<int32_t, std::unique_ptr<TBitmap32>> pictures;
  auto& slot = pictures[Size];
  if (!slot) slot = BenchPicture(Size, Size);
  return *slot;
}

void SetOutputPixels(benchmark::State& State, int64_t Pixels) {
  State.SetItemsProcessed(State.iterations() * Pixels);
  State.counters["MPix/s"] =
      benchmark::Counter(double(State.iterations() * Pixels) / 1e6, benchmark::Counter::kIsRate);
}

void BM_SampleNearest(benchmark::State& State) {
  const int32_t from = int32_t(State.range(0)), to = int32_t(State.range(1));
  TBitmap32& src = Picture(from);
  TBitmap32 dst;
  dst.SetDimensions(to, to);
  for (auto _ : State) {
    TransferStretched(&dst, dst.FullRect(), dst.FullRect(), &src, src.FullRect(), sfNearest,
                      dmOpaque);
    benchmark::DoNotOptimize(dst.PixelData());
    benchmark::ClobberMemory();
  }
  SetOutputPixels(State, int64_t(to) * to);
}
BENCHMARK(BM_SampleNearest)
    ->Args({kNearestReduce.Source, kNearestReduce.Output})
    ->Args({kNearestEnlarge.Source, kNearestEnlarge.Output});

// The yardstick of SampleNearest: copying its output bytes.
void BM_MemcpyOutput(benchmark::State& State) {
  const size_t bytes = size_t(State.range(0)) * size_t(State.range(0)) * sizeof(TColor32);
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : State) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  SetOutputPixels(State, State.range(0) * State.range(0));
}
BENCHMARK(BM_MemcpyOutput)->Arg(kNearestReduce.Output);

void BM_TransferBlockBlend(benchmark::State& State) {
  const int32_t size = int32_t(State.range(0));
  auto src = BenchPicture(size, size);
  for (int32_t y = 0; y < size; ++y)
    for (int32_t x = 0; x < size; ++x)
      *src->PixelAddress(x, y) = (*src->PixelAddress(x, y) & 0xFFFFFF) | uint32_t(x ^ y) << 24;
  auto dst = BenchPicture(size, size);
  for (auto _ : State) {
    TransferBlock(dst.get(), 0, 0, dst->FullRect(), src.get(), src->FullRect(), dmBlend);
    benchmark::DoNotOptimize(dst->PixelData());
    benchmark::ClobberMemory();
  }
  SetOutputPixels(State, int64_t(size) * size);
}
BENCHMARK(BM_TransferBlockBlend)->Arg(256)->Arg(4096);

void BM_DrawInto(benchmark::State& State) {
  const auto filter = TStretchFilter(State.range(0));
  const int32_t from = int32_t(State.range(1)), to = int32_t(State.range(2));
  TBitmap32 src;
  src.Assign(&Picture(from));
  src.SetStretchFilter(filter);
  TBitmap32 dst;
  dst.SetDimensions(to, to);
  for (auto _ : State) {
    src.DrawInto(&dst, dst.FullRect());
    benchmark::DoNotOptimize(dst.PixelData());
    benchmark::ClobberMemory();
  }
  SetOutputPixels(State, int64_t(to) * to);
}

void DrawIntoCases(benchmark::internal::Benchmark* B) {
  B->ArgNames({"filter", "from", "to"});
  for (TBenchResize c : {kReduce, kEnlarge})
    for (TStretchFilter f : {sfNearest, sfDraft, sfLinear, sfCosine, sfSpline, sfLanczos,
                             sfMitchell})
      B->Args({f, c.Source, c.Output});
}
BENCHMARK(BM_DrawInto)->Apply(DrawIntoCases)->Unit(benchmark::kMillisecond);

}  // namespace
