// The SIMD resampling helpers against the plain ones (or, for the MMX
// interpolation, against its arithmetic), bit for bit over seeded random
// runs. A failure prints the seed and the first differing pixel.
#include "raster/resample_helpers.h"
#include "raster/resample_helpers_sets.h"
#include "raster/stretch.h"
#include "tests/raster/pixel_fixtures.h"
#include "tests/raster/resample_sets.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Hex(uint32_t V) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", V);
  return text;
}

class SimdHelpers : public testing::Test {
protected:
  void SetUp() override {
    if (!InstallSetsForTesting(TRoutineSetUnderTest::Vector128)) GTEST_SKIP() << "no SIMD set";
    simd_ = ResampleHelpers();
    plain_ = PlainResampleHelpers();
  }

  TResampleHelpers simd_{}, plain_{};
};

TEST_F(SimdHelpers, KernelPassesMatchThePlainPasses) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const int32_t rows = 1 + int32_t(rng() % 9);
    const int32_t count = int32_t(rng() % 41);
    const int32_t width = count + 5;
    std::vector<TColor32> pixels(size_t(rows) * width);
    for (TColor32& p : pixels) p = rng();
    const int32_t skew = int32_t(rng() % 5);  // unaligned starts
    std::vector<TKernelTap> taps;
    for (int32_t t = 0, n = 1 + int32_t(rng() % 7); t < n; ++t)
      taps.push_back({ptrdiff_t(rng() % rows) * width, int32_t(rng() % 700) - 200});

    std::vector<int32_t> sumsPlain(size_t(count) * 4 + 8, -1), sumsSimd = sumsPlain;
    plain_.VerticalPass(pixels.data() + skew, taps.data(), int32_t(taps.size()), count,
                        sumsPlain.data());
    simd_.VerticalPass(pixels.data() + skew, taps.data(), int32_t(taps.size()), count,
                       sumsSimd.data());
    for (size_t i = 0; i < sumsPlain.size(); ++i)
      ASSERT_EQ(sumsPlain[i], sumsSimd[i]) << "seed " << seed << ", vertical sum " << i;

    if (count == 0) continue;
    std::vector<TKernelTap> hTaps;
    std::vector<int32_t> starts = {0};
    const int32_t outputs = 1 + int32_t(rng() % 20);
    for (int32_t i = 0; i < outputs; ++i) {
      for (int32_t t = 0, n = 1 + int32_t(rng() % 6); t < n; ++t)
        hTaps.push_back({ptrdiff_t(rng() % count), int32_t(rng() % 500) - 150});
      starts.push_back(int32_t(hTaps.size()));
    }
    for (bool clamp : {false, true}) {
      std::vector<TColor32> outPlain(size_t(outputs) + 1, 0xDEADBEEF), outSimd = outPlain;
      plain_.HorizontalPass(sumsPlain.data(), hTaps.data(), starts.data(), outputs, clamp,
                            outPlain.data());
      simd_.HorizontalPass(sumsPlain.data(), hTaps.data(), starts.data(), outputs, clamp,
                           outSimd.data());
      for (size_t i = 0; i < outPlain.size(); ++i)
        ASSERT_EQ(outPlain[i], outSimd[i]) << "seed " << seed << ", clamp " << clamp
                                           << ", pixel " << i << ": " << Hex(outPlain[i])
                                           << " vs " << Hex(outSimd[i]);
    }
  }
}

TEST_F(SimdHelpers, BlockAverageMatchesThePlainOne) {
  ASSERT_TRUE(InstallResampleHelpers(TResampleHelperSet::MMXPrefetch));
  const TResampleHelpers prefetching = ResampleHelpers();
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    std::mt19937 rng(seed);
    const int32_t w = seed <= 40 ? int32_t(seed) : 1 + int32_t(rng() % (seed % 7 == 0 ? 700 : 40));
    const int32_t h = 1 + int32_t(rng() % 6);
    const int32_t skew = int32_t(rng() % 4);
    const int32_t stride = w + skew + int32_t(rng() % 3);
    std::vector<TColor32> pixels(size_t(stride) * h + 4);
    const bool bright = rng() % 2;
    for (TColor32& p : pixels) p = bright ? (rng() | 0xF0F0F0F0u) : rng();
    const TColor32* start = pixels.data() + skew;
    const ptrdiff_t bytes = ptrdiff_t(stride) * 4;
    const TColor32 expected = plain_.BlockAverage(w, h, start, bytes);
    ASSERT_EQ(simd_.BlockAverage(w, h, start, bytes), expected)
        << "seed " << seed << ", " << w << "x" << h << ": " << Hex(expected);
    ASSERT_EQ(prefetching.BlockAverage(w, h, start, bytes), expected) << "seed " << seed;
  }
}

// The MMX interpolation: per channel (a x W + b x (256 - W)) shr 8 across,
// then the same down, every step truncating, with W the low 16 bits.
TColor32 Interpolate4Model(uint32_t WX, uint32_t WY, const TColor32* P, const TColor32* Q) {
  const uint32_t wx = WX & 0xFFFF, wy = WY & 0xFFFF;
  TColor32 result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    auto byte = [shift](TColor32 C) { return (C >> shift) & 0xFF; };
    const uint32_t top = (byte(P[0]) * wx + byte(P[1]) * (256 - wx)) >> 8;
    const uint32_t bottom = (byte(Q[0]) * wx + byte(Q[1]) * (256 - wx)) >> 8;
    result |= ((top * wy + bottom * (256 - wy)) >> 8) << shift;
  }
  return result;
}

TEST_F(SimdHelpers, Interpolate4FollowsTheMMXArithmetic) {
  for (uint32_t seed = 1; seed <= 20000; ++seed) {
    std::mt19937 rng(seed);
    const TColor32 p[2] = {TColor32(rng()), TColor32(rng())};
    const TColor32 q[2] = {TColor32(rng()), TColor32(rng())};
    const uint32_t wx = rng() % 257, wy = rng() % 257;
    const uint32_t WX = wx | wx << 16, WY = wy | wy << 16;
    const TColor32 expected = Interpolate4Model(WX, WY, p, q);
    ASSERT_EQ(simd_.Interpolate4(WX, WY, p, q), expected) << "seed " << seed << ": "
                                                           << Hex(expected);
    TColor32 row = 0;
    const TInterpolationEntry entry{0, WX};
    simd_.InterpolateRow(p, q, &entry, 1, WY, &row);
    ASSERT_EQ(row, expected) << "seed " << seed;
  }
}

// The shuffle and permute gathers of nearest sampling against the plain
// loop, over scales from strong reductions to strong enlargements, clipped.
TEST(NearestGather, GivesTheSameRowsInBothSets) {
  for (uint32_t seed = 1; seed <= 150; ++seed) {
    std::mt19937 rng(seed);
    const int32_t srcW = 1 + int32_t(rng() % 300), srcH = 1 + int32_t(rng() % 20);
    const int32_t dstW = 1 + int32_t(rng() % 300), dstH = 1 + int32_t(rng() % 20);
    const TRect clip = RectOf(int32_t(rng() % 8), 0, dstW - int32_t(rng() % 8), dstH);
    auto src = RandomBitmap(srcW, srcH, seed);
    TBitmap32 results[2];
    int32_t index = 0;
    for (TRoutineSetUnderTest set : {TRoutineSetUnderTest::Plain, TRoutineSetUnderTest::Vector128}) {
      if (!InstallSetsForTesting(set)) GTEST_SKIP() << "no SIMD set";
      TBitmap32& dst = results[index++];
      dst.SetDimensions(dstW, dstH);
      for (int32_t i = 0; i < dstW * dstH; ++i) dst.PixelData()[i] = kSentinel;
      TransferStretched(&dst, dst.FullRect(), clip, src.get(), src->FullRect(), sfNearest,
                        dmOpaque);
    }
    for (int32_t i = 0; i < dstW * dstH; ++i)
      ASSERT_EQ(results[0].PixelData()[i], results[1].PixelData()[i])
          << "seed " << seed << ", pixel " << i << ": " << Hex(results[0].PixelData()[i]);
  }
}

// Corner weights give the pixels themselves in both sets.
TEST(ResampleHelpers, Interpolate4CornerWeightsAreExactInBothSets) {
  for (TRoutineSetUnderTest set : {TRoutineSetUnderTest::Plain, TRoutineSetUnderTest::Vector128}) {
    if (!InstallSetsForTesting(set)) continue;
    const TInterpolate4 interpolate = ResampleHelpers().Interpolate4;
    const TColor32 p[2] = {0x80FF0010, 0x017F3344}, q[2] = {0xFE0102FF, 0x00000001};
    const uint32_t full = 256 | 256 << 16;
    EXPECT_EQ(interpolate(full, full, p, q), p[0]) << RoutineSetName(set);
    EXPECT_EQ(interpolate(0, full, p, q), p[1]) << RoutineSetName(set);
    EXPECT_EQ(interpolate(full, 0, p, q), q[0]) << RoutineSetName(set);
    EXPECT_EQ(interpolate(0, 0, p, q), q[1]) << RoutineSetName(set);
  }
}

}  // namespace
