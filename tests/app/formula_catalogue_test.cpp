#include "app/formula_catalogue.h"
#include "platform/exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class FormulaCatalogue : public ::testing::Test {
protected:
  static void SetUpTestSuite() { BuildCosTab(); }

  static int32_t Eval(int32_t N, int32_t x, int32_t y) { return FormulaEntry(N).Func(x, y); }
};

TEST_F(FormulaCatalogue, CosTabEnds) {
  EXPECT_EQ(cosTab[0], 255);
  EXPECT_EQ(cosTab[255], 1);
  EXPECT_EQ(cosTab[510], 255);
  EXPECT_EQ(cosTab[511], 255);
  EXPECT_EQ(*std::min_element(cosTab, cosTab + 512), 1);
}

// The four entries that sit exactly on a half round to even.
TEST_F(FormulaCatalogue, CosTabHalves) {
  EXPECT_EQ(cosTab[85], 192);
  EXPECT_EQ(cosTab[425], 192);
  EXPECT_EQ(cosTab[170], 64);
  EXPECT_EQ(cosTab[340], 64);
}

TEST_F(FormulaCatalogue, LabelsAreVerbatim) {
  const char* const labels[FormulaCount] = {
      "x",
      "y",
      "(x+y)/2",
      "x*y/256",
      "255-(255-x)*(255-y)",
      "min(x,y)",
      "max(x,y)",
      "abs(x-y)",
      "abs(255-x-y)",
      "x+y-(x*y)div 128)",
      "min(255,255*y/(255-x)",
      "min(255,x*x/(255-y))",
      "min(255,x+y)",
      "max(0,x+y-256)",
      "min(255,cosTab[x]+cosTab[y])",
      "clamp(x+2*y-256)",
      "cosTab[x]",
      "cosTab[x*2]",
      "(255-cosTab[2*x])*(255-cosTab[2*y])/255",
      "cosTab[2*x]*cosTab[2*y]/255",
      "255-cosTab[2*y]",
      "cosTab[(4*(x-y)) and $1FF",
      "(cosTab[2*x]+cosTab[2*y])/2",
      "x xor y",
  };
  for (int32_t n = 1; n <= FormulaCount; ++n) EXPECT_EQ(FormulaEntry(n).Label, labels[n - 1]) << n;
}

TEST_F(FormulaCatalogue, NumbersOutsideTheCatalogueRaise) {
  EXPECT_THROW(FormulaEntry(0), Exception);
  EXPECT_THROW(FormulaEntry(FormulaCount + 1), Exception);
}

struct Point {
  int32_t N, x, y, expected;
};

// Divisors that differ from the labels, wrap-around of negative indices and
// the edges of the byte range.
TEST_F(FormulaCatalogue, ValuesAtEdges) {
  const Point points[] = {
      {11, 255, 0, 0},         {11, 255, 1, 255},  {11, 255, 200, 255},
      {11, 0, 255, 254},       {12, 0, 255, 0},    {12, 1, 255, 1},
      {12, 3, 255, 9},         {12, 15, 255, 225}, {12, 16, 255, 255},
      {12, 255, 0, 254},       {22, 0, 1, 255},    {22, 0, 64, cosTab[256]},
      {22, 10, 0, cosTab[40]}, {10, 255, 255, 2},  {10, 255, 0, 255},
      {10, 128, 128, 128},     {5, 0, 0, 1},       {5, 255, 255, 255},
      {14, 255, 255, 254},     {16, 0, 128, 0},    {16, 255, 255, 255},
      {24, 0xA5, 0x0F, 0xAA},
  };
  for (const Point& p : points)
    EXPECT_EQ(Eval(p.N, p.x, p.y), p.expected) << "formula " << p.N << " at " << p.x << ", " << p.y;
}

// Formulas 11 and 12 divide by a column- or row-dependent divisor; over the
// whole byte square they equal the integer quotient.
TEST_F(FormulaCatalogue, DivisionsAreExact) {
  for (int32_t x = 0; x < 256; ++x)
    for (int32_t y = 0; y < 256; ++y) {
      ASSERT_EQ(Eval(11, x, y), std::min(255, (255 * y) / (256 - x))) << x << ", " << y;
      ASSERT_EQ(Eval(12, x, y), std::min(255, (x * x) / (256 - y))) << x << ", " << y;
    }
}

// Rendering a row gives Func's values as opaque greys, for every formula.
TEST_F(FormulaCatalogue, GreyRowsMatchFunc) {
  TColor32 row[256];
  for (int32_t n = 1; n <= FormulaCount; ++n)
    for (int32_t y : {0, 1, 127, 254, 255}) {
      FormulaEntry(n).GreyRow(y, row, 256);
      for (int32_t x = 0; x < 256; ++x) {
        const auto w = uint8_t(Eval(n, x, y));
        ASSERT_EQ(row[x], MakeColor32(w, w, w, 255)) << "formula " << n << " at " << x << ", " << y;
      }
    }
}

// Over the whole byte square every formula stays in 0..255 and reaches
// exactly its known least and greatest value.
TEST_F(FormulaCatalogue, RangesOverAllPairs) {
  struct Range {
    int32_t low = 0, high = 255;
  };
  Range expected[FormulaCount + 1];
  expected[4].high = expected[14].high = expected[21].high = 254;
  expected[19].high = 253;
  expected[5].low = expected[17].low = expected[18].low = expected[22].low = expected[23].low = 1;
  expected[15].low = 2;
  for (int32_t n = 1; n <= FormulaCount; ++n) {
    int32_t low = 1 << 30, high = -(1 << 30);
    for (int32_t x = 0; x < 256; ++x)
      for (int32_t y = 0; y < 256; ++y) {
        const int32_t v = Eval(n, x, y);
        low = std::min(low, v);
        high = std::max(high, v);
      }
    EXPECT_EQ(low, expected[n].low) << "formula " << n;
    EXPECT_EQ(high, expected[n].high) << "formula " << n;
  }
}

}  // namespace
