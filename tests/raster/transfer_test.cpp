#include "raster/blend.h"
#include "raster/transfer.h"
#include "tests/raster/pixel_fixtures.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(RectFunctions, IntersectionKeepsDegenerateResultsAndClearsDisjointOnes) {
  struct Case {
    TRect a, b, expected;
    bool intersects;
  };
  const Case cases[] = {
      {RectOf(0, 0, 10, 10), RectOf(5, 5, 20, 20), RectOf(5, 5, 10, 10), true},
      {RectOf(0, 0, 10, 10), RectOf(10, 0, 20, 10), RectOf(10, 0, 10, 10), true},
      {RectOf(0, 0, 10, 10), RectOf(11, 0, 20, 10), RectOf(0, 0, 0, 0), false},
      {RectOf(10, 10, 0, 0), RectOf(0, 0, 20, 20), RectOf(0, 0, 0, 0), false},
      {RectOf(kMin, kMin, kMax, kMax), RectOf(-3, -4, 5, 6), RectOf(-3, -4, 5, 6), true},
  };
  for (const Case& c : cases) {
    const TRectIntersection r = RectIntersection(c.a, c.b);
    EXPECT_EQ(r.Rect, c.expected);
    EXPECT_EQ(r.Intersects, c.intersects);
  }
}

TEST(RectFunctions, ShiftAndEmptiness) {
  EXPECT_EQ(ShiftRect(RectOf(1, 2, 3, 4), 10, -20), RectOf(11, -18, 13, -16));
  EXPECT_EQ(ShiftRect(RectOf(0, 0, 10, 10), kMax, 0).Right, kMax);
  EXPECT_TRUE(RectIsEmpty(RectOf(0, 0, 0, 5)));
  EXPECT_TRUE(RectIsEmpty(RectOf(0, 0, 5, 0)));
  EXPECT_TRUE(RectIsEmpty(RectOf(5, 0, 0, 5)));
  EXPECT_FALSE(RectIsEmpty(RectOf(0, 0, 1, 1)));
}

// Checks that exactly Area of Dst holds the source pixels offset by
// (DX, DY), and everything else still holds the sentinel.
void ExpectCopiedArea(const TBitmap32& Dst, const TRect& Area, int32_t DX, int32_t DY) {
  for (int32_t y = 0; y < Dst.Height(); ++y)
    for (int32_t x = 0; x < Dst.Width(); ++x) {
      const bool inside = x >= Area.Left && x < Area.Right && y >= Area.Top && y < Area.Bottom;
      const TColor32 expected = inside ? PositionPixel(x + DX, y + DY) : kSentinel;
      ASSERT_EQ(*Dst.PixelAddress(x, y), expected) << "at " << x << "," << y;
    }
}

TEST(TransferBlock, ClipsToBothBitmapsAndTheClipRectangle) {
  struct Case {
    const char* name;
    int32_t dstW, dstH, srcW, srcH, dstX, dstY;
    TRect clip, srcRect, area;
    int32_t dx, dy;  // source position minus destination position
  };
  const TRect all = RectOf(kMin, kMin, kMax, kMax);
  const TRect none = RectOf(0, 0, 0, 0);
  const Case cases[] = {
      {"negative DstX skips source columns", 20, 10, 20, 10, -10, 0, all, RectOf(0, 0, 20, 10),
       RectOf(0, 0, 10, 10), 10, 0},
      {"source hanging off the left", 20, 20, 12, 12, 0, 0, all, RectOf(-5, 0, 10, 10),
       RectOf(5, 0, 15, 10), -5, 0},
      {"source hanging off the top", 20, 20, 12, 12, 2, 2, all, RectOf(0, -3, 4, 4),
       RectOf(2, 5, 6, 9), -2, -5},
      {"destination smaller than source", 300, 200, 256, 256, 0, 0, all, RectOf(0, 0, 256, 256),
       RectOf(0, 0, 256, 200), 0, 0},
      {"clip rectangle", 20, 20, 20, 20, 0, 0, RectOf(2, 3, 5, 7), RectOf(0, 0, 20, 20),
       RectOf(2, 3, 5, 7), 0, 0},
      {"empty source rectangle", 20, 20, 20, 20, 0, 0, all, RectOf(3, 3, 3, 8), none, 0, 0},
      {"inverted source rectangle", 20, 20, 20, 20, 0, 0, all, RectOf(8, 8, 2, 2), none, 0, 0},
      {"source rectangle outside the source", 20, 20, 20, 20, 0, 0, all,
       RectOf(100, 100, 120, 120), none, 0, 0},
      {"empty clip", 20, 20, 20, 20, 0, 0, none, RectOf(0, 0, 20, 20), none, 0, 0},
      {"inverted clip", 20, 20, 20, 20, 0, 0, RectOf(10, 10, 5, 5), RectOf(0, 0, 20, 20), none, 0,
       0},
      {"clip outside the destination", 20, 20, 20, 20, 0, 0, RectOf(50, 50, 60, 60),
       RectOf(0, 0, 20, 20), none, 0, 0},
      {"position far right", 20, 20, 20, 20, kMax, 0, all, RectOf(0, 0, 20, 20), none, 0, 0},
      {"position far left", 20, 20, 20, 20, kMin, kMin, all, RectOf(0, 0, 20, 20), none, 0, 0},
      {"source corner far left", 20, 20, 20, 20, 0, 0, all, RectOf(kMin, 0, kMax, 10), none, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto dst = FilledBitmap(c.dstW, c.dstH, kSentinel);
    auto src = PositionBitmap(c.srcW, c.srcH);
    TransferBlock(dst.get(), c.dstX, c.dstY, c.clip, src.get(), c.srcRect, dmOpaque);
    ExpectCopiedArea(*dst, c.area, c.dx, c.dy);
  }
}

TEST(TransferBlock, ChecksBitmapsBeforeWritingWithTheirMessages) {
  auto src = PositionBitmap(4, 4);
  auto dst = FilledBitmap(4, 4, kSentinel);
  TBitmap32 empty;
  struct Case {
    TBitmap32* dst;
    TBitmap32* src;
    const char* message;  // null: returns quietly
  };
  const Case cases[] = {
      {dst.get(), nullptr, "Source bitmap is nil or empty"},
      {nullptr, nullptr, "Source bitmap is nil or empty"},
      {nullptr, &empty, nullptr},
      {&empty, &empty, nullptr},
      {nullptr, src.get(), "Destination bitmap is nil or empty"},
      {&empty, src.get(), "Destination bitmap is nil or empty"},
  };
  for (const Case& c : cases) {
    for (TDrawMode mode : {dmOpaque, dmBlend, dmCustom}) {
      try {
        TransferBlock(c.dst, 0, 0, RectOf(0, 0, 4, 4), c.src, RectOf(0, 0, 4, 4), mode);
        EXPECT_EQ(c.message, nullptr);
      } catch (const ETransformError& e) {
        ASSERT_NE(c.message, nullptr);
        EXPECT_EQ(e.Message(), c.message);
      }
    }
  }
  EXPECT_TRUE(SamePixels(*dst, *FilledBitmap(4, 4, kSentinel)));
}

TEST(TransferBlock, OpaqueCopiesEveryByteWhateverTheMasterAlpha) {
  auto src = RandomBitmap(9, 7, 1);
  src->SetMasterAlpha(0);
  auto dst = FilledBitmap(9, 7, kSentinel);
  TransferBlock(dst.get(), 0, 0, dst->FullRect(), src.get(), src->FullRect(), dmOpaque);
  EXPECT_TRUE(SamePixels(*dst, *src));
}

TEST(TransferBlock, BlendWithMasterAlphaZeroLeavesTheDestination) {
  auto src = RandomBitmap(9, 7, 2);
  src->SetMasterAlpha(0);
  auto dst = FilledBitmap(9, 7, kSentinel);
  TransferBlock(dst.get(), 0, 0, dst->FullRect(), src.get(), src->FullRect(), dmBlend);
  EXPECT_TRUE(SamePixels(*dst, *FilledBitmap(9, 7, kSentinel)));
}

TEST(TransferBlock, CustomCallsTheCallbackInRowOrderWithTheMasterAlpha) {
  auto src = PositionBitmap(3, 2);
  src->SetMasterAlpha(0);
  auto dst = FilledBitmap(5, 5, kSentinel);
  std::vector<TColor32> seen;
  const TPixelCombineEvent record = [&](TColor32 F, TColor32& B, TColor32 M) {
    EXPECT_EQ(B, kSentinel);
    EXPECT_EQ(M, 0u);
    seen.push_back(F);
    B = ~F;
  };
  TransferBlock(dst.get(), 1, 1, dst->FullRect(), src.get(), src->FullRect(), dmCustom, record);
  const std::vector<TColor32> expected = {PositionPixel(0, 0), PositionPixel(1, 0),
                                          PositionPixel(2, 0), PositionPixel(0, 1),
                                          PositionPixel(1, 1), PositionPixel(2, 1)};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(*dst->PixelAddress(3, 2), ~PositionPixel(2, 1));
}

TEST(TransferBlock, CustomWithoutCallbackCopies) {
  auto src = RandomBitmap(6, 6, 3);
  auto dst = FilledBitmap(6, 6, kSentinel);
  TransferBlock(dst.get(), 0, 0, dst->FullRect(), src.get(), src->FullRect(), dmCustom, {});
  EXPECT_TRUE(SamePixels(*dst, *src));
}

TEST(TransferBlock, ExceptionFromTheCallbackKeepsWhatWasWritten) {
  auto src = PositionBitmap(4, 2);
  auto dst = FilledBitmap(4, 2, kSentinel);
  int calls = 0;
  const TPixelCombineEvent failing = [&](TColor32 F, TColor32& B, TColor32) {
    if (++calls == 6) throw std::runtime_error("callback failed");
    B = F;
  };
  EXPECT_THROW(TransferBlock(dst.get(), 0, 0, dst->FullRect(), src.get(), src->FullRect(),
                             dmCustom, failing),
               std::runtime_error);
  for (int32_t i = 0; i < 8; ++i)
    EXPECT_EQ(dst->PixelData()[i], i < 5 ? PositionPixel(i % 4, i / 4) : kSentinel) << i;
}

TEST(TransferBlock, SendsNoChangeNotification) {
  auto src = RandomBitmap(4, 4, 4);
  auto dst = FilledBitmap(4, 4, kSentinel);
  int changes = 0;
  dst->OnChange = [&](TObject*) { ++changes; };
  src->OnChange = [&](TObject*) { ++changes; };
  TransferBlock(dst.get(), 0, 0, dst->FullRect(), src.get(), src->FullRect(), dmOpaque);
  EXPECT_EQ(changes, 0);
}

// Rows run top to bottom and pixels left to right with no provision for
// overlap: moving a bitmap right or down onto itself smears its first
// pixel; moving it left or up copies cleanly.
TEST(TransferBlock, SameBitmapIsProcessedInAscendingOrder) {
  struct Case {
    int32_t w, h, dstX, dstY;
    TRect srcRect;
    std::vector<TColor32> expected;  // column indices (w > 1) or row indices
  };
  const Case cases[] = {
      {6, 1, 1, 0, RectOf(0, 0, 5, 1), {0, 0, 0, 0, 0, 0}},
      {6, 1, 0, 0, RectOf(1, 0, 6, 1), {1, 2, 3, 4, 5, 5}},
      {1, 5, 0, 1, RectOf(0, 0, 1, 4), {0, 0, 0, 0, 0}},
  };
  const TPixelCombineEvent copy = [](TColor32 F, TColor32& B, TColor32) { B = F; };
  for (const Case& c : cases)
    for (TDrawMode mode : {dmOpaque, dmCustom}) {
      auto b = PositionBitmap(c.w, c.h);
      TransferBlock(b.get(), c.dstX, c.dstY, b->FullRect(), b.get(), c.srcRect, mode, copy);
      for (int32_t i = 0; i < int32_t(c.expected.size()); ++i) {
        const TColor32 e = c.w > 1 ? PositionPixel(int32_t(c.expected[i]), 0)
                                   : PositionPixel(0, int32_t(c.expected[i]));
        EXPECT_EQ(b->PixelData()[i], e) << "mode " << int(mode) << " pixel " << i;
      }
    }
}

// With texture B's weights in its alpha: 255 takes B's pixel, 0 keeps the
// destination's.
TEST(TransferBlock, BlendTakesFullAlphaAndKeepsZeroAlpha) {
  InstallBlendRoutines();
  auto src = FilledBitmap(4, 2, 0xFF102030);
  for (int32_t x = 0; x < 4; ++x) *src->PixelAddress(x, 1) = 0x00405060;
  for (uint32_t master : {255u, 256u, 1000u}) {
    src->SetMasterAlpha(master);
    auto dst = FilledBitmap(5, 3, kSentinel);
    TransferBlock(dst.get(), 1, 1, dst->FullRect(), src.get(), src->FullRect(), dmBlend);
    EXPECT_EQ(*dst->PixelAddress(1, 1), 0xFF102030u);
    EXPECT_EQ(*dst->PixelAddress(4, 1), 0xFF102030u);
    EXPECT_EQ(*dst->PixelAddress(1, 2), kSentinel);
    EXPECT_EQ(*dst->PixelAddress(0, 1), kSentinel);
  }
}

// The row routine comes from the source's combine mode, its master variant
// when MasterAlpha is below 255.
TEST(TransferBlock, BlendUsesTheRowRoutineOfTheSourceMode) {
  InstallBlendRoutines();
  for (TCombineMode mode : {cmBlend, cmMerge})
    for (uint32_t master : {255u, 128u, 1u}) {
      auto src = RandomBitmap(7, 3, 5);
      src->SetCombineMode(mode);
      src->SetMasterAlpha(master);
      auto dst = RandomBitmap(9, 5, 6);
      auto expected = RandomBitmap(9, 5, 6);
      TransferBlock(dst.get(), 2, 1, dst->FullRect(), src.get(), src->FullRect(), dmBlend);
      for (int32_t y = 0; y < 3; ++y) {
        if (master < 255)
          RowRoutines.Masters[mode](src->RowAddress(y), expected->PixelAddress(2, y + 1), 7,
                                    master);
        else
          RowRoutines.Rows[mode](src->RowAddress(y), expected->PixelAddress(2, y + 1), 7);
      }
      EXPECT_TRUE(SamePixels(*dst, *expected)) << "mode " << int(mode) << " master " << master;
    }
}

}  // namespace
