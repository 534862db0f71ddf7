#include "raster/blend.h"
#include "raster/filter_kernel.h"
#include "raster/mapping_table.h"
#include "raster/resample.h"
#include "raster/stretch.h"
#include "tests/raster/pixel_fixtures.h"
#include "tests/raster/resample_sets.h"
#include "tests/raster/routine_set_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr TStretchFilter kKernelFilters[] = {sfLinear, sfCosine, sfSpline, sfLanczos,
                                             sfMitchell};

TEST(FilterKernel, WeightsAndRadii) {
  struct Case {
    TStretchFilter filter;
    float radius;
    std::vector<std::pair<float, float>> weights;  // x -> w(x)
  };
  const Case cases[] = {
      {sfNearest, 1, {{0, 1}, {0.5f, 1}, {-0.5f, 0}, {0.51f, 0}}},
      {sfDraft, 1, {{0, 1}, {-0.25f, 0.75f}, {0.25f, 0.75f}, {1, 0}, {-1, 0}}},
      {sfLinear, 1, {{0, 1}, {-0.25f, 0.75f}, {0.75f, 0.25f}, {1, 0}, {-1, 0}}},
      {sfCosine, 1, {{0, 1}, {0.5f, 0.5f}, {-0.5f, 0.5f}, {1, 0}}},
      {sfSpline, 2, {{0, 2.0f / 3}, {1, 1.0f / 6}, {-1.5f, 0.125f / 6}, {2, 0}}},
      {sfLanczos, 3, {{0, 1}, {0.5f, 0.6079271f}, {1.5f, -0.1350949f}, {3, 0}}},
      {sfMitchell, 2, {{0, 8.0f / 9}, {1, 1.0f / 18}, {-1.5f, -0.2083333f / 6}, {2, 0}}},
  };
  for (const Case& c : cases) {
    const TFilterKernel k = FilterKernel(c.filter);
    EXPECT_EQ(k.Radius, c.radius) << "filter " << int(c.filter);
    for (auto [x, w] : c.weights)
      EXPECT_NEAR(k.Weight(x), w, 2e-6) << "filter " << int(c.filter) << " at " << x;
  }
}

TEST(MappingTable, EveryClusterSumsTo256InsideTheSourceSpan) {
  const int32_t spans[] = {2, 3, 5, 7, 10, 33, 100, 256, 1000};
  for (TStretchFilter f : kKernelFilters)
    for (int32_t srcW : spans)
      for (int32_t dstW : spans) {
        const int32_t srcLo = 5, dstLo = -3;
        // A clip that leaves out a few destination pixels at each end.
        const int32_t clipLo = dstLo + dstW / 4, clipHi = dstLo + dstW - dstW / 5;
        const TMappingTable t =
            BuildMappingTable(dstLo, dstLo + dstW, clipLo, clipHi, srcLo, srcLo + srcW, f);
        ASSERT_EQ(t.size(), size_t(clipHi - clipLo));
        for (const TCluster& c : t) {
          ASSERT_FALSE(c.empty());
          int32_t sum = 0;
          for (const ClusterEntry& e : c) {
            sum += e.Weight;
            ASSERT_GE(e.SourceIndex, srcLo);
            ASSERT_LT(e.SourceIndex, srcLo + srcW);
          }
          ASSERT_EQ(sum, 256) << "filter " << int(f) << " " << srcW << " into " << dstW;
        }
      }
}

TEST(MappingTable, OnePixelAndEmptySpans) {
  for (TStretchFilter f : kKernelFilters) {
    const TMappingTable one = BuildMappingTable(0, 9, 2, 7, 7, 8, f);
    ASSERT_EQ(one.size(), 5u);
    for (const TCluster& c : one) {
      ASSERT_EQ(c.size(), 1u);
      EXPECT_EQ(c[0].SourceIndex, 7);
      EXPECT_EQ(c[0].Weight, 256);
    }
    EXPECT_TRUE(BuildMappingTable(0, 9, 0, 9, 4, 4, f).empty());
  }
}

// Halving with sfLinear: each destination pixel straddles two source
// pixels at distance 0.5 and two at 1.5, weighted 96, 96, 32, 32; at the
// edges the outer tap folds onto the first or last pixel.
TEST(MappingTable, HalvingWithLinearWeights) {
  const TMappingTable t = BuildMappingTable(0, 4, 0, 4, 0, 8, sfLinear);
  ASSERT_EQ(t.size(), 4u);
  const std::vector<std::pair<int32_t, int32_t>> second = {{1, 32}, {2, 96}, {3, 96}, {4, 32}};
  ASSERT_EQ(t[1].size(), second.size());
  for (size_t i = 0; i < second.size(); ++i) {
    EXPECT_EQ(t[1][i].SourceIndex, second[i].first);
    EXPECT_EQ(t[1][i].Weight, second[i].second);
  }
  EXPECT_EQ(t[0].front().SourceIndex, 0);
  EXPECT_EQ(t[3].back().SourceIndex, 7);
}

class Resamplers : public testing::TestWithParam<TRoutineSetUnderTest> {
protected:
  void SetUp() override {
    if (!InstallSetsForTesting(GetParam()))
      GTEST_SKIP() << RoutineSetName(GetParam()) << " is not available here";
  }
};

using TResampler = std::function<void(TBitmap32*, TRect, TRect, TBitmap32*, TRect, TDrawMode,
                                      const TPixelCombineEvent&)>;

TResampler KernelWith(TStretchFilter F) {
  return [F](TBitmap32* D, TRect DR, TRect DA, TBitmap32* S, TRect SR, TDrawMode Op,
             const TPixelCombineEvent& Cb) { ResampleKernel(D, DR, DA, S, SR, Op, Cb, F); };
}

std::unique_ptr<TBitmap32> Draw(TBitmap32& Src, int32_t W, int32_t H, TStretchFilter F,
                                TDrawMode Op = dmOpaque, const TPixelCombineEvent& Cb = {}) {
  auto dst = RandomBitmap(W, H, 99);
  TransferStretched(dst.get(), dst->FullRect(), dst->FullRect(), &Src, Src.FullRect(), F, Op, Cb);
  return dst;
}

// The kernel weights of each axis add up to 256, whatever their signs.
TEST_P(Resamplers, KernelKeepsAConstantPictureExactly) {
  auto src = FilledBitmap(23, 17, 0x80402010);
  const std::pair<int32_t, int32_t> sizes[] = {{64, 40}, {7, 5}, {1, 1}, {64, 5}, {2, 300}};
  for (TStretchFilter f : kKernelFilters)
    for (auto [w, h] : sizes) {
      auto dst = RandomBitmap(w, h, 99);
      KernelWith(f)(dst.get(), dst->FullRect(), dst->FullRect(), src.get(), src->FullRect(),
                    dmOpaque, {});
      EXPECT_TRUE(SamePixels(*dst, *FilledBitmap(w, h, 0x80402010)))
          << "filter " << int(f) << " " << w << "x" << h;
    }
}

// A black-to-white step enlarged overshoots on both sides with the filters
// that have negative lobes; the channels clamp instead of wrapping.
TEST_P(Resamplers, LanczosAndMitchellClampOvershoot) {
  auto src = FilledBitmap(8, 1, 0xFF000000);
  for (int32_t x = 4; x < 8; ++x) *src->PixelAddress(x, 0) = 0xFFFFFFFF;
  for (TStretchFilter f : {sfLanczos, sfMitchell}) {
    auto dst = Draw(*src, 40, 3, f);
    for (int32_t x = 0; x < 40; ++x) {
      const TColor32 c = *dst->PixelAddress(x, 1);
      EXPECT_EQ(c >> 24, 0xFFu);
      if (x < 16) {
        EXPECT_LE(c & 0xFF, 15u) << "filter " << int(f) << " at " << x;
      } else if (x >= 24) {
        EXPECT_GE(c & 0xFF, 240u) << "filter " << int(f) << " at " << x;
      }
    }
    EXPECT_EQ(*dst->PixelAddress(0, 0), 0xFF000000u);
    EXPECT_EQ(*dst->PixelAddress(39, 0), 0xFFFFFFFFu);
  }
}

TEST_P(Resamplers, DraftAveragesTheBlocksRoundingDown) {
  auto src = std::make_unique<TBitmap32>();
  src->SetDimensions(4, 4);
  const uint8_t values[4][4] = {{0, 1, 10, 20}, {2, 4, 30, 41}, {100, 100, 255, 255},
                                {100, 103, 255, 254}};
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x)
      *src->PixelAddress(x, y) = 0xFF000000u | uint32_t(values[y][x]) << 8;
  auto dst = Draw(*src, 2, 2, sfDraft);
  EXPECT_EQ(*dst->PixelAddress(0, 0), 0xFF000100u);  // 7 / 4
  EXPECT_EQ(*dst->PixelAddress(1, 0), 0xFF001900u);  // 101 / 4
  EXPECT_EQ(*dst->PixelAddress(0, 1), 0xFF006400u);  // 403 / 4
  EXPECT_EQ(*dst->PixelAddress(1, 1), 0xFF00FE00u);  // 1019 / 4
  // Nine pixels do not divide 2^24: white averages to 254.
  auto white = FilledBitmap(6, 6, 0xFFFFFFFF);
  EXPECT_EQ(*Draw(*white, 2, 2, sfDraft)->PixelAddress(1, 1), 0xFEFEFEFEu);
}

// Blocks wider than 257 pixels overflow 16-bit sums, and block edges of
// spans from 65,536 pixels on overflow 32-bit products.
TEST_P(Resamplers, DraftHandlesWideBlocksAndLongSpans) {
  auto white = FilledBitmap(1024, 2, 0xFFFFFFFF);
  EXPECT_TRUE(SamePixels(*Draw(*white, 2, 1, sfDraft), *FilledBitmap(2, 1, 0xFFFFFFFF)));

  auto halves = FilledBitmap(131072, 1, 0xFF102030);
  for (int32_t x = 65536; x < 131072; ++x) *halves->PixelAddress(x, 0) = 0x80FFEEDD;
  auto dst = Draw(*halves, 2, 1, sfDraft);
  EXPECT_EQ(*dst->PixelAddress(0, 0), 0xFF102030u);
  EXPECT_EQ(*dst->PixelAddress(1, 0), 0x80FFEEDDu);
}

TEST_P(Resamplers, BlockAverageOfHugeBlocks) {
  // Stride 0 repeats one row, so a block of 2^25 pixels needs 16 KB. Beyond
  // 2^24 pixels the mean is divided out directly.
  std::vector<TColor32> row(4096, 0xFFFFFFFF);
  row[0] = 0x01020304;
  const TBlockAverage average = ResampleHelpers().BlockAverage;
  EXPECT_EQ(average(4096, 8192, row.data(), 0), 0xFFFFFFFFu - 0x01010101u);
  EXPECT_EQ(average(1024, 4, row.data() + 1, 0), 0xFFFFFFFFu);
}

TEST_P(Resamplers, BilinearKeepsCornersAndFoldsTheLastPair) {
  auto src = RandomBitmap(2, 2, 11);
  auto dst = Draw(*src, 4, 4, sfLinear);
  EXPECT_EQ(*dst->PixelAddress(0, 0), *src->PixelAddress(0, 0));
  EXPECT_EQ(*dst->PixelAddress(3, 0), *src->PixelAddress(1, 0));
  EXPECT_EQ(*dst->PixelAddress(0, 3), *src->PixelAddress(0, 1));
  EXPECT_EQ(*dst->PixelAddress(3, 3), *src->PixelAddress(1, 1));
}

// Up to half a pixel before a source rectangle that does not start at 0
// mixes with the pixel just outside it.
TEST_P(Resamplers, BilinearMixesThePixelBeforeTheSourceRectangle) {
  auto a = RandomBitmap(6, 6, 12);
  auto b = RandomBitmap(6, 6, 12);
  for (int32_t y = 0; y < 6; ++y) *b->PixelAddress(1, y) ^= 0x00FFFFFF;
  auto draw = [](TBitmap32& Src) {
    auto dst = FilledBitmap(8, 8, kSentinel);
    TransferStretched(dst.get(), dst->FullRect(), dst->FullRect(), &Src, RectOf(2, 2, 5, 5),
                      sfLinear, dmOpaque);
    return dst;
  };
  auto da = draw(*a), db = draw(*b);
  EXPECT_NE(*da->PixelAddress(0, 3), *db->PixelAddress(0, 3));
  EXPECT_EQ(*da->PixelAddress(4, 3), *db->PixelAddress(4, 3));
}

TEST_P(Resamplers, EachCaseGoesToItsResampler) {
  struct Case {
    TStretchFilter filter;
    int32_t srcW, srcH, dstW, dstH;
    TResampler expected;
  };
  const Case cases[] = {
      {sfLinear, 4, 4, 16, 16, ResampleBilinear},
      {sfLinear, 1, 4, 3, 16, KernelWith(sfLinear)},
      {sfLinear, 16, 16, 4, 4, KernelWith(sfLinear)},
      {sfLinear, 4, 4, 16, 3, KernelWith(sfLinear)},
      {sfDraft, 4, 8, 16, 4, ResampleBilinear},
      {sfDraft, 1, 8, 4, 4, KernelWith(sfLinear)},
      {sfDraft, 16, 16, 4, 4, ResampleDraft},
      {sfCosine, 4, 4, 16, 16, KernelWith(sfCosine)},
      {sfSpline, 4, 4, 16, 16, KernelWith(sfSpline)},
      {sfLanczos, 4, 4, 2, 16, KernelWith(sfLanczos)},
      {sfMitchell, 4, 4, 16, 16, KernelWith(sfMitchell)},
      {sfNearest, 4, 4, 16, 16, SampleNearest},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "filter " << int(c.filter) << " " << c.srcW << "x"
                                    << c.srcH << " into " << c.dstW << "x" << c.dstH);
    auto src = RandomBitmap(c.srcW, c.srcH, 13);
    auto actual = Draw(*src, c.dstW, c.dstH, c.filter);
    auto expected = RandomBitmap(c.dstW, c.dstH, 99);
    c.expected(expected.get(), expected->FullRect(), expected->FullRect(), src.get(),
               src->FullRect(), dmOpaque, {});
    EXPECT_TRUE(SamePixels(*actual, *expected));
  }
  // The two linear resamplers differ, so the cases above tell them apart.
  auto src = RandomBitmap(4, 4, 13);
  auto kernel = RandomBitmap(16, 16, 99);
  KernelWith(sfLinear)(kernel.get(), kernel->FullRect(), kernel->FullRect(), src.get(),
                       src->FullRect(), dmOpaque, {});
  EXPECT_FALSE(SamePixels(*Draw(*src, 16, 16, sfLinear), *kernel));
}

// dmBlend always puts pixels through the master in-place routine of the
// source's combine mode, with MasterAlpha limited to 255; dmCustom passes
// it unchanged to the callback.
TEST_P(Resamplers, BlendAndCustomPutEachResultPixel) {
  for (TStretchFilter f : {sfDraft, sfLinear, sfLanczos})
    for (auto [w, h] : {std::pair{30, 20}, std::pair{5, 4}})
      for (TCombineMode mode : {cmBlend, cmMerge})
        for (uint32_t master : {255u, 90u, 1000u}) {
          SCOPED_TRACE(testing::Message() << "filter " << int(f) << " into " << w << "x" << h
                                          << " mode " << int(mode) << " master " << master);
          auto src = RandomBitmap(10, 8, 14);
          src->SetCombineMode(mode);
          src->SetMasterAlpha(master);
          auto opaque = Draw(*src, w, h, f);
          auto expected = RandomBitmap(w, h, 99);
          for (int32_t i = 0; i < w * h; ++i)
            MasterInPlaceRoutines[mode](opaque->PixelData()[i], expected->PixelData() + i,
                                        std::min(master, 255u));
          EXPECT_TRUE(SamePixels(*Draw(*src, w, h, f, dmBlend), *expected));

          std::vector<TColor32> seen;
          const TPixelCombineEvent record = [&](TColor32 F, TColor32& B, TColor32 M) {
            EXPECT_EQ(M, master);
            seen.push_back(F);
            B = 0;
          };
          auto custom = Draw(*src, w, h, f, dmCustom, record);
          EXPECT_EQ(seen, std::vector<TColor32>(opaque->PixelData(), opaque->PixelData() + w * h));
          EXPECT_TRUE(SamePixels(*custom, *FilledBitmap(w, h, 0)));
        }
}

TEST_P(Resamplers, CallbackExceptionLeavesTheResampler) {
  auto src = RandomBitmap(10, 10, 15);
  for (TStretchFilter f : {sfDraft, sfLinear, sfSpline}) {
    for (auto [w, h] : {std::pair{25, 25}, std::pair{4, 4}}) {
      int calls = 0;
      const TPixelCombineEvent failing = [&](TColor32, TColor32& B, TColor32) {
        if (++calls == 7) throw std::runtime_error("stop");
        B = 1;
      };
      auto dst = FilledBitmap(w, h, kSentinel);
      EXPECT_THROW(TransferStretched(dst.get(), dst->FullRect(), dst->FullRect(), src.get(),
                                     src->FullRect(), f, dmCustom, failing),
                   std::runtime_error);
      EXPECT_EQ(dst->PixelData()[5], 1u);
      EXPECT_EQ(dst->PixelData()[6], kSentinel);
    }
  }
}

INSTANTIATE_FOR_BOTH_SETS(Resamplers);

}  // namespace
