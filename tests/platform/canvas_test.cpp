#include "platform/canvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Surface {
  std::vector<uint32_t> Pixels;
  TCanvas Canvas;
  int32_t Width;
  Surface(int32_t W, int32_t H, uint32_t Fill = 0) : Pixels(size_t(W) * H, Fill), Width(W) {
    Canvas.SetHandle({Pixels.data(), W, H});
  }
  uint32_t At(int32_t X, int32_t Y) const { return Pixels[size_t(Y) * Width + X]; }
};

TEST(Canvas, PixelCopiesKeepEveryByteAlphaIncluded) {
  const uint32_t source[4] = {0x00FFFFFF, 0x80FF0000, 0x12345678, 0x00000001};
  for (bool wholeBlock : {true, false}) {
    Surface s(wholeBlock ? 2 : 4, wholeBlock ? 2 : 3);
    const int32_t at = wholeBlock ? 0 : 1;
    s.Canvas.CopyPixels({at, at, at + 2, at + 2}, source, 2, 2);
    EXPECT_EQ(s.At(at, at), 0x00FFFFFFu);
    EXPECT_EQ(s.At(at + 1, at), 0x80FF0000u);
    EXPECT_EQ(s.At(at, at + 1), 0x12345678u);
    EXPECT_EQ(s.At(at + 1, at + 1), 0x00000001u);
  }
}

TEST(Canvas, ScaledCopiesTakeTheNearestPixel) {
  const uint32_t source[2] = {0x11111111, 0x22222222};
  Surface s(4, 1);
  s.Canvas.CopyPixels({0, 0, 4, 1}, source, 2, 1, true);
  EXPECT_EQ(s.Pixels, (std::vector<uint32_t>{0xFF111111, 0xFF111111, 0xFF222222, 0xFF222222}));
}

TEST(Canvas, ShapesAreAliasedAndFireOnChange) {
  Surface s(9, 9);
  int changes = 0;
  s.Canvas.OnChange = [&](TObject*) { ++changes; };
  s.Canvas.BrushColor = clRed;
  s.Canvas.PenColor = clRed;
  s.Canvas.Ellipse({0, 0, 9, 9});
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(s.At(4, 4), 0xFFFF0000u);
  EXPECT_EQ(s.At(0, 0), 0u) << "the corner lies outside the circle";
  for (uint32_t p : s.Pixels) EXPECT_TRUE(p == 0 || p == 0xFFFF0000u) << std::hex << p;

  s.Canvas.BrushColor = TColor(0x00FF00);
  s.Canvas.FillRect({2, 2, 4, 3});
  EXPECT_EQ(s.At(2, 2), 0xFF00FF00u);
  EXPECT_EQ(s.At(3, 2), 0xFF00FF00u);
  EXPECT_NE(s.At(4, 2), 0xFF00FF00u) << "Right is exclusive";
  EXPECT_NE(s.At(2, 3), 0xFF00FF00u) << "Bottom is exclusive";
}

TEST(Canvas, FocusRectangleDrawnTwiceRestoresThePixels) {
  Surface s(6, 5, 0x80123456);
  const std::vector<uint32_t> before = s.Pixels;
  s.Canvas.DrawFocusRect({-1, 0, 6, 5});
  EXPECT_NE(s.Pixels, before);
  s.Canvas.DrawFocusRect({-1, 0, 6, 5});
  EXPECT_EQ(s.Pixels, before);
}

TEST(Canvas, WithoutASurfaceNothingHappens) {
  TCanvas canvas;
  int changes = 0;
  canvas.OnChange = [&](TObject*) { ++changes; };
  const uint32_t pixel = 1;
  canvas.FillRect({0, 0, 5, 5});
  canvas.CopyPixels({0, 0, 1, 1}, &pixel, 1, 1);
  EXPECT_EQ(changes, 0);
}

}  // namespace
