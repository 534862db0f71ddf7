// The merge routines of both sets against their formulas: every pair of
// alphas (or alpha and master alpha) with every foreground byte, and the
// channel operations over every byte pair.
#include "exhaustive.h"
#include "raster/blend.h"
#include "routine_set_fixture.h"

namespace {

using MergePixelTest = RoutineSetTest;

TColor32 Pixel(uint32_t Alpha, uint32_t v) { return (Alpha << 24) | Colour(v); }
uint32_t Derived(uint32_t x, uint32_t a, uint32_t b) { return (x * 167 + a * 31 + b * 7) & 255; }

TEST_P(MergePixelTest, MergePixel) {
  ExpectAllTriples("f, Fa, Ba", [&](uint32_t x, uint32_t fa, uint32_t ba) {
    const TColor32 f = Pixel(fa, x), b = Pixel(ba, Derived(x, fa, ba));
    return TResultPair{MergePixel(f, b), ref::MergePixel(Mmx(), f, b)};
  });
}

// Also checks that the old value is written back where a shortcut keeps it.
TEST_P(MergePixelTest, MergePixelInPlace) {
  ExpectAllTriples("f, Fa, Ba", [&](uint32_t x, uint32_t fa, uint32_t ba) {
    const TColor32 f = Pixel(fa, x), b = Pixel(ba, Derived(x, fa, ba));
    TColor32 pixel = b;
    MergePixelInPlace(f, &pixel);
    return TResultPair{pixel, ref::MergePixel(Mmx(), f, b)};
  });
}

TEST_P(MergePixelTest, MergePixelWeightedReplacesTheAlphaByTheWeight) {
  ExpectAllTriples("f, W, Ba", [&](uint32_t x, uint32_t w, uint32_t ba) {
    const TColor32 f = Pixel(x ^ 0x77, x), b = Pixel(ba, Derived(x, w, ba));
    TColor32 pixel = b;
    MergePixelWeightedInPlace(f, &pixel, w);
    const TColor32 want = ref::MergePixelWeighted(Mmx(), f, b, w);
    if (pixel != want) return TResultPair{pixel, want};
    return TResultPair{MergePixelWeighted(f, b, w), want};
  });
}

TEST_P(MergePixelTest, MergePixelMaster) {
  ExpectAllTriples("f, Fa, M", [&](uint32_t x, uint32_t fa, uint32_t m) {
    const uint32_t y = Derived(x, fa, m);
    // Ba runs through 0 and 255 as well as the values between.
    const TColor32 f = Pixel(fa, x), b = Pixel(y < 16 ? 0 : y > 240 ? 255 : y ^ x, y);
    TColor32 pixel = b;
    MergePixelMasterInPlace(f, &pixel, m);
    const TColor32 want = ref::MergePixelMaster(Mmx(), f, b, m);
    if (pixel != want) return TResultPair{pixel, want};
    return TResultPair{MergePixelMaster(f, b, m), want};
  });
}

INSTANTIATE_FOR_BOTH_SETS(MergePixelTest);

// The byte operations are the same in both sets.
struct TChannelCase {
  const char* Name;
  TChannelOp* Slot;
  uint32_t (*Formula)(uint32_t c1, uint32_t c2);
};

const TChannelCase kChannelCases[] = {
    {"ChannelAdd", &ChannelAdd, [](uint32_t a, uint32_t b) { return std::min(a + b, 255u); }},
    {"ChannelSubtract", &ChannelSubtract, [](uint32_t a, uint32_t b) { return a > b ? a - b : 0u; }},
    {"ChannelProduct", &ChannelProduct, [](uint32_t a, uint32_t b) { return (a * b) >> 8; }},
    {"ChannelDivide", &ChannelDivide,
     [](uint32_t a, uint32_t b) { return a == 0 ? 255u : std::min(b * 256 / a, 255u); }},
    {"ChannelModulate", &ChannelModulate, [](uint32_t a, uint32_t b) { return (a * b) >> 8; }},
    {"ChannelMax", &ChannelMax, [](uint32_t a, uint32_t b) { return std::max(a, b); }},
    {"ChannelMin", &ChannelMin, [](uint32_t a, uint32_t b) { return std::min(a, b); }},
    {"ChannelDifference", &ChannelDifference, [](uint32_t a, uint32_t b) { return a > b ? a - b : b - a; }},
    {"ChannelExclusion", &ChannelExclusion, [](uint32_t a, uint32_t b) { return a + b - ((a * b) >> 7); }},
};

// Each byte of C1 and C2 takes a different value, so a lane mix-up shows.
TColor32 Spread(uint32_t v) { return (v << 24) | ((v ^ 0xA5) << 16) | ((255 - v) << 8) | (v * 7 & 255); }

TEST_P(MergePixelTest, ChannelOperationsOverEveryBytePair) {
  for (const TChannelCase& op : kChannelCases) {
    for (uint32_t a = 0; a < 256; ++a)
      for (uint32_t b = 0; b < 256; ++b) {
        const TColor32 c1 = Spread(a), c2 = Spread(b);
        TColor32 want = 0;
        for (int i = 0; i < 4; ++i) want |= op.Formula(ref::Byte(c1, i), ref::Byte(c2, i)) << (8 * i);
        const TColor32 got = (*op.Slot)(c1, c2);
        ASSERT_EQ(got, want) << op.Name << "(" << ref::Hex(c1) << ", " << ref::Hex(c2) << ")";
      }
  }
}

}  // namespace
