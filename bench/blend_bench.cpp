// The row and pixel routines of every set and row width, beside pixman's
// OVER operator and a memcpy of the same rows, on one 256-pixel row (in
// cache) and on a 4096 x 4096 image (memory-bound). Items are pixels.
//
// Two sources: "mixed" has runs of transparent, opaque and random alphas (1
// to 64 pixels each, like a texture with cut-outs and soft edges); "random"
// has a random alpha in every pixel, which no shortcut helps.
#include "raster/blend.h"
#include "raster/blend_testing.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr int32_t kRowWidth = 256;
constexpr int32_t kImageSide = 4096;

enum TSource { srMixed, srRandom };

struct TPixels {
  TColor32* Data;
  size_t Count;
};

// Allocated and written once for the whole run: the first touch of fresh
// memory is far slower than the blending itself.
TPixels MakePixels(size_t Count, TSource Kind, uint32_t Seed) {
  auto* data = static_cast<TColor32*>(std::aligned_alloc(64, Count * sizeof(TColor32)));
  std::mt19937 rng(Seed);
  size_t i = 0;
  while (i < Count) {
    const uint32_t kind = Kind == srRandom ? 2 : rng() % 3;
    const size_t run = Kind == srRandom ? 1 : 1 + rng() % 64;
    for (size_t k = 0; k < run && i < Count; ++k, ++i) {
      const uint32_t alpha = kind == 0 ? 0 : kind == 1 ? 255 : rng() & 255;
      data[i] = (rng() & 0x00FFFFFF) | (alpha << 24);
    }
  }
  return {data, Count};
}

const TPixels& Source(TSource Kind, bool Image) {
  static const TPixels rows[2] = {MakePixels(kRowWidth, srMixed, 1), MakePixels(kRowWidth, srRandom, 2)};
  static const TPixels images[2] = {MakePixels(size_t(kImageSide) * kImageSide, srMixed, 3),
                                    MakePixels(size_t(kImageSide) * kImageSide, srRandom, 4)};
  return Image ? images[Kind] : rows[Kind];
}

TColor32* Destination(bool Image) {
  static const TPixels row = MakePixels(kRowWidth, srRandom, 5);
  static const TPixels image = MakePixels(size_t(kImageSide) * kImageSide, srRandom, 6);
  return Image ? image.Data : row.Data;
}

// Runs Body(src row, dst row, width) over the row or every row of the image.
template <typename Body>
void RunRows(benchmark::State& State, TSource Kind, bool Image, Body body) {
  const TColor32* src = Source(Kind, Image).Data;
  TColor32* dst = Destination(Image);
  const int32_t width = Image ? kImageSide : kRowWidth;
  const int32_t rows = Image ? kImageSide : 1;
  for (auto _ : State) {
    for (int32_t y = 0; y < rows; ++y) body(src + size_t(y) * width, dst + size_t(y) * width, width);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(int64_t(State.iterations()) * width * rows);
}

bool Install(benchmark::State& State, TRoutineSetUnderTest Set) {
  if (InstallRoutineSetForTesting(Set)) return true;
  State.SkipWithError("routine set not available here");
  return false;
}

void BlendRowBench(benchmark::State& State, TRoutineSetUnderTest Set, TSource Kind, bool Image) {
  if (!Install(State, Set)) return;
  RunRows(State, Kind, Image, [](const TColor32* s, TColor32* d, int32_t n) { BlendRow(s, d, n); });
}

void BlendRowMasterBench(benchmark::State& State, TRoutineSetUnderTest Set, TSource Kind, bool Image) {
  if (!Install(State, Set)) return;
  RunRows(State, Kind, Image,
          [](const TColor32* s, TColor32* d, int32_t n) { BlendRowMaster(s, d, n, 192); });
}

// CombinePixel one pixel at a time, each weighted by the source's alpha.
void CombinePixelBench(benchmark::State& State, TRoutineSetUnderTest Set, TSource Kind, bool Image) {
  if (!Install(State, Set)) return;
  RunRows(State, Kind, Image, [](const TColor32* s, TColor32* d, int32_t n) {
    const TCombinePixel combine = CombinePixel;
    for (int32_t i = 0; i < n; ++i) d[i] = combine(s[i], d[i], s[i] >> 24);
  });
}

void MergeRowBench(benchmark::State& State, TRoutineSetUnderTest Set, TSource Kind, bool Image) {
  if (!Install(State, Set)) return;
  RunRows(State, Kind, Image, [](const TColor32* s, TColor32* d, int32_t n) { MergeRow(s, d, n); });
}

// The plain BlendRow's result written the obvious way, byte by byte.
void NaivePlainBlendRowBench(benchmark::State& State, TSource Kind, bool Image) {
  RunRows(State, Kind, Image, [](const TColor32* s, TColor32* d, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
      const uint32_t a = s[i] >> 24;
      if (a == 0) continue;
      if (a == 255) {
        d[i] = s[i];
        continue;
      }
      const auto* x = reinterpret_cast<const uint8_t*>(s + i);
      auto* y = reinterpret_cast<uint8_t*>(d + i);
      for (int k = 0; k < 4; ++k)
        y[k] = uint8_t(((x[k] * a + 128) >> 8) + ((y[k] * (255 - a) + 128) >> 8));
    }
  });
}

void MemcpyBench(benchmark::State& State, TSource Kind, bool Image) {
  RunRows(State, Kind, Image, [](const TColor32* s, TColor32* d, int32_t n) {
    std::memcpy(d, s, size_t(n) * sizeof(TColor32));
  });
}

// pixman composites the whole image in one call, row by row inside.
void PixmanOverBench(benchmark::State& State, TSource Kind, bool Image) {
  const int32_t width = Image ? kImageSide : kRowWidth;
  const int32_t rows = Image ? kImageSide : 1;
  const int stride = width * int(sizeof(TColor32));
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, rows,
                                                 const_cast<uint32_t*>(Source(Kind, Image).Data), stride);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, rows, Destination(Image), stride);
  for (auto _ : State) {
    pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, width, rows);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(int64_t(State.iterations()) * width * rows);
  pixman_image_unref(src);
  pixman_image_unref(dst);
}

const char* SourceName(TSource Kind) { return Kind == srMixed ? "mixed" : "random"; }
const char* SizeName(bool Image) { return Image ? "4096x4096" : "256"; }

std::string Name(const char* Routine, const char* Set, TSource Kind, bool Image) {
  return std::string(Routine) + "/" + Set + "/" + SourceName(Kind) + "/" + SizeName(Image);
}

void RegisterAll() {
  using Bench = void (*)(benchmark::State&, TRoutineSetUnderTest, TSource, bool);
  const std::pair<const char*, Bench> routines[] = {
      {"BlendRow", BlendRowBench},
      {"BlendRowMaster", BlendRowMasterBench},
      {"CombinePixel", CombinePixelBench},
      {"MergeRow", MergeRowBench},
  };
  const TRoutineSetUnderTest sets[] = {TRoutineSetUnderTest::Plain, TRoutineSetUnderTest::Vector128,
                                       TRoutineSetUnderTest::Vector256, TRoutineSetUnderTest::Vector512};
  for (bool image : {false, true})
    for (TSource kind : {srMixed, srRandom}) {
      auto reference = [&](const char* routine, void (*fn)(benchmark::State&, TSource, bool)) {
        benchmark::RegisterBenchmark(Name(routine, "-", kind, image).c_str(), fn, kind, image);
      };
      reference("Memcpy", MemcpyBench);
      reference("PixmanOver", PixmanOverBench);
      reference("NaivePlainBlendRow", NaivePlainBlendRowBench);
      for (const auto& [routine, fn] : routines)
        for (TRoutineSetUnderTest set : sets) {
          // The wider loops exist only for the two row blends.
          const bool wide = set == TRoutineSetUnderTest::Vector256 || set == TRoutineSetUnderTest::Vector512;
          if (wide && fn != BlendRowBench && fn != BlendRowMasterBench) continue;
          benchmark::RegisterBenchmark(Name(routine, RoutineSetName(set), kind, image).c_str(), fn, set,
                                       kind, image);
        }
    }
}

const bool registered = (RegisterAll(), true);

}  // namespace
