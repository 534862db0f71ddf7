#include "raster/blend.h"
#include "raster/stretch.h"
#include "tests/raster/pixel_fixtures.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr TStretchFilter kAllFilters[] = {sfNearest, sfDraft,   sfLinear,  sfCosine,
                                          sfSpline,  sfLanczos, sfMitchell};

int32_t ColumnOf(TColor32 C) { return int32_t(C & 0xFFF); }
int32_t RowOf(TColor32 C) { return int32_t((C >> 12) & 0xFFF); }

TEST(NearestMapping, DestinationColumnsShowTheListedSourceColumns) {
  struct Case {
    int32_t srcLo, srcHi, dstW;
    std::vector<std::pair<int32_t, int32_t>> shown;  // destination -> source
  };
  const Case cases[] = {
      {0, 512, 256, {{0, 0}, {1, 2}, {2, 4}, {255, 510}}},
      {0, 100, 256, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {255, 99}}},
      // The scale is 10/6 rounded to single precision, just below 5/3.
      {0, 10, 6, {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 6}, {5, 8}}},
      {5, 15, 6, {{0, 5}, {3, 9}, {5, 13}}},
      {0, 14, 20, {{9, 6}, {10, 6}, {19, 13}}},
      {0, 256, 512, {{0, 0}, {1, 0}, {2, 1}, {511, 255}}},
      {0, 4, 1, {{0, 1}}},
      {0, 5, 1, {{0, 2}}},
      {3, 7, 1, {{0, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.srcLo << ".." << c.srcHi << " into " << c.dstW);
    auto src = PositionBitmap(c.srcHi, c.srcHi);
    auto dst = FilledBitmap(c.dstW, c.dstW, kSentinel);
    const TRect srcRect = RectOf(c.srcLo, c.srcLo, c.srcHi, c.srcHi);
    TransferStretched(dst.get(), dst->FullRect(), dst->FullRect(), src.get(), srcRect, sfNearest,
                      dmOpaque);
    for (auto [d, s] : c.shown) {
      EXPECT_EQ(ColumnOf(*dst->PixelAddress(d, 0)), s) << "column " << d;
      EXPECT_EQ(RowOf(*dst->PixelAddress(0, d)), s) << "row " << d;
    }
  }
}

TEST(TransferStretched, ChecksInOrderAndReturnsQuietlyOnEmptyRectangles) {
  auto src = PositionBitmap(8, 8);
  auto dst = FilledBitmap(8, 8, kSentinel);
  TBitmap32 empty;
  struct Case {
    TBitmap32* dst;
    TBitmap32* src;
    TRect srcRect;
    TDrawMode mode;
    uint32_t master;
    const char* message;  // null: returns without drawing
  };
  const Case cases[] = {
      {dst.get(), nullptr, RectOf(0, 0, 8, 8), dmOpaque, 255, "Source bitmap is nil or empty"},
      {nullptr, &empty, RectOf(0, 0, 8, 8), dmOpaque, 255, nullptr},
      {nullptr, src.get(), RectOf(0, 0, 8, 8), dmOpaque, 255, "Destination bitmap is nil or empty"},
      {&empty, src.get(), RectOf(0, 0, 8, 8), dmOpaque, 255, "Destination bitmap is nil or empty"},
      {dst.get(), src.get(), RectOf(0, 0, 0, 0), dmOpaque, 255, nullptr},
      {dst.get(), src.get(), RectOf(-20, -20, -30, 5), dmOpaque, 255, nullptr},
      {dst.get(), src.get(), RectOf(0, 0, 9, 8), dmOpaque, 255, "Source rectangle is invalid"},
      {dst.get(), src.get(), RectOf(-1, 0, 4, 4), dmOpaque, 255, "Source rectangle is invalid"},
      {dst.get(), src.get(), RectOf(0, 0, 9, 8), dmBlend, 0, "Source rectangle is invalid"},
      {dst.get(), src.get(), RectOf(0, 0, 8, 8), dmBlend, 0, nullptr},
  };
  for (const Case& c : cases) {
    src->SetMasterAlpha(c.master);
    try {
      TransferStretched(c.dst, RectOf(0, 0, 5, 5), RectOf(0, 0, 8, 8), c.src, c.srcRect,
                        sfNearest, c.mode);
      EXPECT_EQ(c.message, nullptr);
    } catch (const ETransformError& e) {
      ASSERT_NE(c.message, nullptr);
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  EXPECT_TRUE(SamePixels(*dst, *FilledBitmap(8, 8, kSentinel)));
}

TEST(TransferStretched, DestinationOutsideOrMissingTheClipDrawsNothing) {
  auto src = PositionBitmap(8, 8);
  const std::pair<TRect, TRect> cases[] = {
      {RectOf(20, 20, 40, 40), RectOf(0, 0, 10, 10)},
      {RectOf(0, 0, 10, 10), RectOf(-10, -10, 0, 0)},
      {RectOf(0, 0, 5, 5), RectOf(6, 6, 10, 10)},
  };
  for (auto [dstRect, clip] : cases)
    for (TStretchFilter f : kAllFilters) {
      auto dst = FilledBitmap(10, 10, kSentinel);
      TransferStretched(dst.get(), dstRect, clip, src.get(), src->FullRect(), f, dmOpaque);
      EXPECT_TRUE(SamePixels(*dst, *FilledBitmap(10, 10, kSentinel)));
    }
}

TEST(TransferStretched, SameSizeIsABlockTransferForEveryFilter) {
  auto src = RandomBitmap(16, 12, 7);
  auto expected = FilledBitmap(24, 20, kSentinel);
  TransferBlock(expected.get(), 3, 5, RectOf(0, 0, 18, 30), src.get(), src->FullRect(), dmOpaque);
  for (TStretchFilter f : kAllFilters) {
    auto dst = FilledBitmap(24, 20, kSentinel);
    TransferStretched(dst.get(), RectOf(3, 5, 19, 17), RectOf(0, 0, 18, 30), src.get(),
                      src->FullRect(), f, dmOpaque);
    EXPECT_TRUE(SamePixels(*dst, *expected)) << "filter " << int(f);
  }
}

// The mapping is relative to DstRect, not to the clip, so a clipped draw is
// the matching part of the unclipped one. Column 46 of a 3x enlargement
// starts on a pixel centre, where a kernel cluster narrows to one pixel.
TEST(TransferStretched, ClippedDrawIsThePartOfTheUnclippedDraw) {
  struct Case {
    int32_t srcW, srcH, dstW, dstH;
    TRect clip;
  };
  const Case cases[] = {
      {100, 40, 256, 64, RectOf(128, 0, 256, 64)},
      {30, 30, 90, 90, RectOf(46, 46, 90, 90)},
      {30, 30, 90, 90, RectOf(0, 0, 46, 47)},
      {90, 70, 30, 20, RectOf(15, 0, 30, 20)},
      {50, 50, 60, 17, RectOf(7, 3, 31, 11)},
  };
  for (const Case& c : cases)
    for (TStretchFilter f : kAllFilters) {
      SCOPED_TRACE(testing::Message() << "filter " << int(f) << " " << c.srcW << "x" << c.srcH
                                      << " into " << c.dstW << "x" << c.dstH);
      auto src = RandomBitmap(c.srcW, c.srcH, 8);
      auto whole = FilledBitmap(c.dstW, c.dstH, kSentinel);
      auto part = FilledBitmap(c.dstW, c.dstH, kSentinel);
      TransferStretched(whole.get(), whole->FullRect(), whole->FullRect(), src.get(),
                        src->FullRect(), f, dmOpaque);
      TransferStretched(part.get(), part->FullRect(), c.clip, src.get(), src->FullRect(), f,
                        dmOpaque);
      for (int32_t y = 0; y < c.dstH; ++y)
        for (int32_t x = 0; x < c.dstW; ++x) {
          const bool inside =
              x >= c.clip.Left && x < c.clip.Right && y >= c.clip.Top && y < c.clip.Bottom;
          ASSERT_EQ(*part->PixelAddress(x, y), inside ? *whole->PixelAddress(x, y) : kSentinel)
              << "at " << x << "," << y;
        }
    }
}

// Spans of the full 32-bit range must not overflow the size arithmetic.
TEST(TransferStretched, HugeDestinationRectangleFillsTheClip) {
  auto src = RandomBitmap(4, 4, 16);
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  for (TStretchFilter f : kAllFilters) {
    auto dst = FilledBitmap(8, 8, kSentinel);
    TransferStretched(dst.get(), RectOf(kMin, kMin, kMax, kMax), dst->FullRect(), src.get(),
                      src->FullRect(), f, dmOpaque);
    for (int32_t i = 0; i < 64; ++i) EXPECT_NE(dst->PixelData()[i], kSentinel) << int(f);
  }
}

TEST(SampleNearest, BlendGoesThroughTheSourceRowRoutine) {
  InstallBlendRoutines();
  for (uint32_t master : {255u, 100u}) {
    auto src = RandomBitmap(10, 10, 9);
    src->SetMasterAlpha(master);
    auto sampled = FilledBitmap(25, 25, kSentinel);
    TransferStretched(sampled.get(), sampled->FullRect(), sampled->FullRect(), src.get(),
                      src->FullRect(), sfNearest, dmOpaque);
    auto expected = RandomBitmap(25, 25, 10);
    for (int32_t y = 0; y < 25; ++y) {
      if (master < 255)
        RowRoutines.Masters[cmBlend](sampled->RowAddress(y), expected->RowAddress(y), 25, master);
      else
        RowRoutines.Rows[cmBlend](sampled->RowAddress(y), expected->RowAddress(y), 25);
    }
    auto dst = RandomBitmap(25, 25, 10);
    TransferStretched(dst.get(), dst->FullRect(), dst->FullRect(), src.get(), src->FullRect(),
                      sfNearest, dmBlend);
    EXPECT_TRUE(SamePixels(*dst, *expected)) << "master " << master;
  }
}

TEST(SampleNearest, CustomSeesTheSampledPixelsAndMayThrow) {
  auto src = PositionBitmap(4, 4);
  src->SetMasterAlpha(77);
  auto dst = FilledBitmap(8, 8, kSentinel);
  int calls = 0;
  const TPixelCombineEvent check = [&](TColor32 F, TColor32& B, TColor32 M) {
    EXPECT_EQ(M, 77u);
    if (++calls == 20) throw std::runtime_error("stop");
    B = F;
  };
  EXPECT_THROW(TransferStretched(dst.get(), dst->FullRect(), dst->FullRect(), src.get(),
                                 src->FullRect(), sfNearest, dmCustom, check),
               std::runtime_error);
  EXPECT_EQ(*dst->PixelAddress(7, 1), PositionPixel(3, 0));
  EXPECT_EQ(*dst->PixelAddress(2, 2), PositionPixel(1, 1));
  EXPECT_EQ(*dst->PixelAddress(3, 2), kSentinel);
}

TEST(DrawInto, UsesTheSourceSettingsAndTheDestinationClip) {
  auto src = PositionBitmap(4, 4);
  src->SetDrawMode(dmCustom);
  src->OnPixelCombine = [](TColor32 F, TColor32& B, TColor32) { B = F | 0x00F00000; };
  auto dst = FilledBitmap(8, 8, kSentinel);
  int changes = 0;
  dst->OnChange = [&](TObject*) { ++changes; };
  src->DrawInto(dst.get(), dst->FullRect());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(*dst->PixelAddress(7, 7), PositionPixel(3, 3) | 0x00F00000);
}

TEST(DrawInto, NotifiesWhenClippingLeftNothingButNotForAnEmptySource) {
  auto dst = FilledBitmap(8, 8, kSentinel);
  int changes = 0;
  dst->OnChange = [&](TObject*) { ++changes; };
  TBitmap32 empty;
  empty.DrawInto(dst.get(), dst->FullRect());
  EXPECT_EQ(changes, 0);
  auto src = PositionBitmap(4, 4);
  src->DrawInto(dst.get(), RectOf(20, 20, 30, 30));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(SamePixels(*dst, *FilledBitmap(8, 8, kSentinel)));
  EXPECT_THROW(src->DrawInto(nullptr, RectOf(0, 0, 4, 4)), ETransformError);
}

TEST(DrawInto, RaisingTransferSendsNoNotification) {
  auto dst = FilledBitmap(8, 8, kSentinel);
  int changes = 0;
  dst->OnChange = [&](TObject*) { ++changes; };
  auto src = PositionBitmap(4, 4);
  src->SetDrawMode(dmCustom);
  src->OnPixelCombine = [](TColor32, TColor32&, TColor32) { throw std::runtime_error("no"); };
  EXPECT_THROW(src->DrawInto(dst.get(), dst->FullRect()), std::runtime_error);
  EXPECT_EQ(changes, 0);
}

}  // namespace
