// Every single-pixel blend routine of both sets against its formula, over all
// byte triples.
#include "exhaustive.h"
#include "raster/blend.h"
#include "routine_set_fixture.h"

namespace {

using BlendPixelTest = RoutineSetTest;

TColor32 Foreground(uint32_t x, uint32_t Alpha) { return (Alpha << 24) | Colour(x); }
TColor32 Background(uint32_t y) { return ((y ^ 0xC3) << 24) | Colour(y); }
// A second varying byte for the four-input routines, derived from the others.
uint32_t Derived(uint32_t x, uint32_t a, uint32_t m) { return (x * 167 + a * 31 + m * 7) & 255; }

TEST_P(BlendPixelTest, BlendPixel) {
  ExpectAllTriples("f, b, Fa", [&](uint32_t x, uint32_t y, uint32_t a) {
    const TColor32 f = Foreground(x, a), b = Background(y);
    return TResultPair{BlendPixel(f, b), ref::BlendPixel(Mmx(), f, b)};
  });
}

TEST_P(BlendPixelTest, BlendPixelInPlace) {
  ExpectAllTriples("f, b, Fa", [&](uint32_t x, uint32_t y, uint32_t a) {
    const TColor32 f = Foreground(x, a);
    TColor32 pixel = Background(y);
    BlendPixelInPlace(f, &pixel);
    return TResultPair{pixel, ref::BlendPixelInPlace(Mmx(), f, Background(y))};
  });
}

TEST_P(BlendPixelTest, CombinePixel) {
  ExpectAllTriples("x, y, W", [&](uint32_t x, uint32_t y, uint32_t w) {
    const TColor32 cx = Foreground(x, x ^ 0x33), cy = Background(y);
    return TResultPair{CombinePixel(cx, cy, w), ref::CombinePixel(Mmx(), cx, cy, w)};
  });
}

TEST_P(BlendPixelTest, CombinePixelInPlace) {
  ExpectAllTriples("x, y, W", [&](uint32_t x, uint32_t y, uint32_t w) {
    const TColor32 cx = Foreground(x, x ^ 0x33);
    TColor32 pixel = Background(y);
    CombinePixelInPlace(cx, &pixel, w);
    return TResultPair{pixel, ref::CombinePixelInPlace(Mmx(), cx, Background(y), w)};
  });
}

// Every pair of alpha and master alpha, with every foreground byte.
TEST_P(BlendPixelTest, BlendPixelMaster) {
  ExpectAllTriples("f, Fa, M", [&](uint32_t x, uint32_t a, uint32_t m) {
    const TColor32 f = Foreground(x, a), b = Background(Derived(x, a, m));
    return TResultPair{BlendPixelMaster(f, b, m), ref::BlendPixelMaster(Mmx(), f, b, m)};
  });
}

TEST_P(BlendPixelTest, BlendPixelMasterInPlace) {
  ExpectAllTriples("f, Fa, M", [&](uint32_t x, uint32_t a, uint32_t m) {
    const TColor32 f = Foreground(x, a), b = Background(Derived(x, a, m));
    TColor32 pixel = b;
    BlendPixelMasterInPlace(f, &pixel, m);
    return TResultPair{pixel, ref::BlendPixelMasterInPlace(Mmx(), f, b, m)};
  });
}

// Weights and master alphas above 255 are outside the routines' domain; they
// must still not read past the weight or scale tables (ASan would stop here),
// and the table-driven routines use the weight's low byte.
TEST_P(BlendPixelTest, WeightsAboveTheRange) {
  const TColor32 f = 0x80FF8040, b = 0xC0204060;
  for (uint32_t w : {256u, 300u, 1000u, 0xFFFFFFFFu}) {
    if (Mmx()) {
      EXPECT_EQ(CombinePixel(f, b, w), CombinePixel(f, b, w & 255)) << w;
    }
    TColor32 pixel = b;
    CombinePixelInPlace(f, &pixel, w);
    BlendPixelMaster(f, b, w);
    BlendPixelMasterInPlace(f, &pixel, w);
  }
  // (0x80 * 600) div 255 = 301, whose low byte is 45.
  EXPECT_EQ(ref::Hex(MergePixelMaster(f, b, 600)), ref::Hex(ref::MergeColours(Mmx(), f, b, 45, 0xC0)));
}

INSTANTIATE_FOR_BOTH_SETS(BlendPixelTest);

}  // namespace
