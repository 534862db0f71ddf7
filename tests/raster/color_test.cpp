#include "platform/colors.h"
#include "raster/color.h"

#include <gtest/gtest.h>

namespace {

TEST(Color32, EnumerationsAreOneByteWithFixedValues) {
  static_assert(sizeof(TDrawMode) == 1 && sizeof(TCombineMode) == 1 &&
                sizeof(TStretchFilter) == 1);
  static_assert(dmOpaque == 0 && dmBlend == 1 && dmCustom == 2);
  static_assert(cmBlend == 0 && cmMerge == 1);
  static_assert(sfNearest == 0 && sfDraft == 1 && sfLinear == 2 && sfCosine == 3 &&
                sfSpline == 4 && sfLanczos == 5 && sfMitchell == 6);
  SUCCEED();
}

TEST(Color32, MakeColorAndWithAlpha) {
  EXPECT_EQ(MakeColor32(1, 2, 3, 4), 0x04010203u);
  EXPECT_EQ(WithAlpha(0x12345678, 300), 0xFF345678u);
  EXPECT_EQ(WithAlpha(0x12345678, -1), 0x00345678u);
  EXPECT_EQ(WithAlpha(0x12345678, 0x80), 0x80345678u);
}

TEST(Color32, WinColorSwapsRedAndBlueAndIsOpaque) {
  EXPECT_EQ(WinColorToColor32(0x000080FF), 0xFFFF8000u);
  EXPECT_EQ(WinColorToColor32(0x7F123456), 0xFF563412u);  // the top byte is dropped
  EXPECT_EQ(WinColorToColor32(clBlack), 0xFF000000u);
  // A system colour reference gives the current value of that colour.
  EXPECT_EQ(WinColorToColor32(clBtnFace), 0xFFD4D0C8u);
  EXPECT_EQ(WinColorToColor32(clInfoBk), 0xFFFFFFE1u);
}

TEST(Color32, RectOfKeepsEdgeOrder) {
  const TRect r = RectOf(1, 2, 3, 4);
  EXPECT_EQ(r.Left, 1);
  EXPECT_EQ(r.Top, 2);
  EXPECT_EQ(r.Right, 3);
  EXPECT_EQ(r.Bottom, 4);
}

}  // namespace
