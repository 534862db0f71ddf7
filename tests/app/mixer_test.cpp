// The widget-free mixer: weightmap generation, combination and pane loads on
// plain TBitmap32s, as a command-line caller would use them.
#include "app/combination.h"
#include "app/formula_catalogue.h"
#include "app/pane_files.h"
#include "app/weightmap.h"
#include "platform/exceptions.h"
#include "raster/blend.h"
#include "raster/blend_testing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// A picture whose every pixel tells its own position.
void FillPositions(TBitmap32& B, int32_t Width, int32_t Height, uint8_t Alpha = 255) {
  B.SetDimensions(Width, Height);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x)
      *B.PixelAddress(x, y) =
          MakeColor32(uint8_t(x), uint8_t(y), uint8_t(x / 256 * 16 + y / 256), Alpha);
}

void Fill(TBitmap32& B, int32_t Width, int32_t Height, TColor32 Color) {
  B.SetDimensions(Width, Height);
  B.FillAll(Color);
}

struct Mixer : ::testing::Test {
  TBitmap32 a, b, w, c;
  TMixBitmaps bitmaps{&a, &b, &w, &c};
  std::vector<std::string> shown;
  int viewChanges = 0;
  TFormulaDisplay display{[this](const std::string& t) { shown.push_back(t); },
                          [this] { ++viewChanges; }};

  static void SetUpTestSuite() { BuildCosTab(); }

  void SetUp() override {
    FormulaIndex = 0;
    Fill(a, 256, 256, 0xFF204080);
    Fill(b, 256, 256, 0xFFE0C0A0);
    w.SetDimensions(256, 256);
  }

  // Selects formula N from the start.
  void Show(int32_t N) {
    FormulaIndex = N - 1;
    SelectFormula(+1, bitmaps, display);
  }
};

TEST_F(Mixer, FirstSelectionIsFormulaOneARamp) {
  SelectFormula(+1, bitmaps, display);
  EXPECT_EQ(FormulaIndex, 1);
  ASSERT_EQ(shown, std::vector<std::string>{"1:  x"});
  EXPECT_EQ(viewChanges, 1);
  for (int32_t r : {0, 100, 255})
    for (int32_t col : {0, 1, 128, 255})
      EXPECT_EQ(*w.PixelAddress(col, r), MakeColor32(col, col, col, 255)) << col << ", " << r;
}

TEST_F(Mixer, StepsWrapBetweenLastAndFirst) {
  SelectFormula(+1, bitmaps, display);
  SelectFormula(-1, bitmaps, display);
  EXPECT_EQ(FormulaIndex, 24);
  EXPECT_EQ(shown.back(), "24:  x xor y");
  SelectFormula(+1, bitmaps, display);
  EXPECT_EQ(shown.back(), "1:  x");
  SelectFormula(+1, bitmaps, display);
  EXPECT_EQ(shown.back(), "2:  y");
}

TEST_F(Mixer, RowsRunFromTopYEqual255) {
  Show(2);
  EXPECT_EQ(*w.PixelAddress(17, 0), 0xFFFFFFFFu);
  EXPECT_EQ(*w.PixelAddress(17, 255), 0xFF000000u);
  Show(21);
  for (int32_t r = 0; r < 256; r += 15)
    for (int32_t col = 1; col < 256; col += 37)
      EXPECT_EQ(*w.PixelAddress(col, r), *w.PixelAddress(0, r));
}

TEST_F(Mixer, WeightsBecomeAlphaOfB) {
  Show(24);
  for (int32_t i = 0; i < 256 * 256; i += 97) {
    EXPECT_EQ(b.PixelData()[i] >> 24, w.PixelData()[i] & 0xFF) << i;
    EXPECT_EQ(b.PixelData()[i] & 0xFFFFFF, 0xE0C0A0u) << i;
  }
}

TEST_F(Mixer, CombinedRunsFromAToB) {
  FillPositions(a, 256, 256);
  Fill(b, 256, 256, 0xFF10F010);
  Show(1);
  for (int32_t r = 0; r < 256; ++r) {
    EXPECT_EQ(*c.PixelAddress(0, r), *a.PixelAddress(0, r)) << r;
    EXPECT_EQ(*c.PixelAddress(255, r), *b.PixelAddress(255, r)) << r;
  }
}

// Every row of a column uses that column's weight.
TEST_F(Mixer, ColumnsShareTheirWeight) {
  Show(1);
  for (int32_t col = 0; col < 256; col += 5)
    for (int32_t r = 1; r < 256; r += 31)
      EXPECT_EQ(*c.PixelAddress(col, r), *c.PixelAddress(col, 0));
}

TEST_F(Mixer, LargeTextureAKeepsItsOuterQuarters) {
  FillPositions(a, 512, 512);
  Show(1);
  ASSERT_EQ(c.Width(), 512);
  ASSERT_EQ(c.Height(), 512);
  for (int32_t y = 0; y < 512; y += 7)
    for (int32_t x = 0; x < 512; x += 7) {
      if (x < 256 && y < 256) continue;
      ASSERT_EQ(*c.PixelAddress(x, y), *a.PixelAddress(x, y)) << x << ", " << y;
    }
  EXPECT_EQ(*c.PixelAddress(255, 10), *b.PixelAddress(255, 10));
  EXPECT_NE(*c.PixelAddress(200, 10), *a.PixelAddress(200, 10));
}

TEST_F(Mixer, SmallTextureAUsesTopLeftOfB) {
  Fill(a, 128, 128, 0xFF000000);
  FillPositions(b, 256, 256);
  Show(7);  // max(x, y): 255 in the top row, so that row is B's.
  ASSERT_EQ(c.Width(), 128);
  ASSERT_EQ(c.Height(), 128);
  for (int32_t x = 0; x < 128; ++x) EXPECT_EQ(*c.PixelAddress(x, 0), *b.PixelAddress(x, 0)) << x;
}

// The combined alpha is mixed like the colours, and the two routine sets
// round it differently: 0xCF with the vector ("MMX") set, 0xCE with the plain.
TEST_F(Mixer, CombinedAlphaAtWeight64PerSet) {
  const struct {
    TRoutineSetUnderTest set;
    TColor32 alpha;
  } cases[] = {{TRoutineSetUnderTest::Plain, 0xCE}, {TRoutineSetUnderTest::Vector128, 0xCF}};
  const bool vectorSet = UseMMXRoutines;
  int checked = 0;
  for (const auto& k : cases) {
    if (!InstallRoutineSetForTesting(k.set)) continue;
    ++checked;
    FormulaIndex = 0;
    Show(1);
    EXPECT_EQ(*c.PixelAddress(64, 100) >> 24, k.alpha) << RoutineSetName(k.set);
    EXPECT_EQ(*c.PixelAddress(64, 100) >> 24, *c.PixelAddress(64, 0) >> 24)
        << RoutineSetName(k.set);
  }
  EXPECT_GE(checked, 1);
  InstallRoutineSetForTesting(vectorSet ? TRoutineSetUnderTest::Vector128
                                        : TRoutineSetUnderTest::Plain);
}

TEST_F(Mixer, EmptyTextureALeavesCombinedEmpty) {
  a.SetDimensions(0, 0);
  EXPECT_NO_THROW(Show(1));
  EXPECT_TRUE(c.IsEmpty());
  EXPECT_EQ(b.PixelData()[255] >> 24, 255u);
}

TEST_F(Mixer, EmptyTextureBBecomesBlackWeights) {
  b.SetDimensions(0, 0);
  Show(1);
  ASSERT_EQ(b.Width(), 256);
  EXPECT_EQ(b.PixelData()[300], MakeColor32(0, 0, 0, 300 % 256));
  EXPECT_EQ(*c.PixelAddress(0, 5), *a.PixelAddress(0, 5));
}

// A texture B of another size is scaled to the weightmap's size, nearest
// pixel, instead of being wiped by the resize.
TEST_F(Mixer, OtherSizedTextureBIsScaledNotWiped) {
  FillPositions(b, 512, 512);
  TBitmap32 original;
  original.Assign(&b);
  WeightToAlpha(&b, &w);
  ASSERT_EQ(b.Width(), 256);
  ASSERT_EQ(b.Height(), 256);
  for (int32_t r = 0; r < 256; r += 3)
    for (int32_t col = 0; col < 256; col += 3)
      ASSERT_EQ(*b.PixelAddress(col, r) & 0xFFFFFF,
                *original.PixelAddress(2 * col, 2 * r) & 0xFFFFFF)
          << col << ", " << r;
}

TEST_F(Mixer, WeightToAlphaChecksItsArguments) {
  try {
    WeightToAlpha(&b, nullptr);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "The source is nil");
  }
  try {
    WeightToAlpha(nullptr, &w);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Destination is nil");
  }
}

class PaneFile : public ::testing::Test {
protected:
  std::filesystem::path dir;

  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("quorvane-pane-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // Writes Picture as a file and replaces it with what reading gives back.
  std::string Write(const char* Name, TBitmap32& Picture) {
    const std::string path = (dir / Name).string();
    Picture.WritePictureFile(path);
    Picture.ReadPictureFile(path);
    return path;
  }
};

TEST_F(PaneFile, LargePictureIsSampledEveryOtherPixel) {
  TBitmap32 picture, pane;
  FillPositions(picture, 512, 512);
  Fill(pane, 256, 256, 0);
  LoadPictureIntoPane(pane, Write("big.bmp", picture));
  ASSERT_EQ(pane.Width(), 256);
  for (int32_t r = 0; r < 256; r += 5)
    for (int32_t col = 0; col < 256; col += 5)
      ASSERT_EQ(*pane.PixelAddress(col, r), *picture.PixelAddress(2 * col, 2 * r))
          << col << ", " << r;
}

TEST_F(PaneFile, SmallPictureFillsTheWholePane) {
  TBitmap32 picture, pane;
  FillPositions(picture, 100, 50);
  Fill(pane, 256, 256, 0);
  LoadPictureIntoPane(pane, Write("small.bmp", picture));
  ASSERT_EQ(pane.Width(), 256);
  for (int32_t k = 0; k < 256; ++k) {
    ASSERT_EQ(*pane.PixelAddress(k, 0), *picture.PixelAddress(int32_t(k * 0.390625), 0)) << k;
    ASSERT_EQ(*pane.PixelAddress(0, k), *picture.PixelAddress(0, int32_t(k * 0.1953125))) << k;
  }
}

TEST_F(PaneFile, SameSizeIsCopiedPixelForPixel) {
  TBitmap32 picture, pane;
  FillPositions(picture, 256, 256, 0x80);
  Fill(pane, 256, 256, 0);
  LoadPictureIntoPane(pane, Write("same.bmp", picture));
  EXPECT_EQ(0, std::memcmp(pane.PixelData(), picture.PixelData(), 256 * 256 * 4));
}

TEST_F(PaneFile, EmptyPaneTakesThePictureAtItsOwnSize) {
  TBitmap32 picture, pane;
  FillPositions(picture, 100, 50);
  LoadPictureIntoPane(pane, Write("small.bmp", picture));
  ASSERT_EQ(pane.Width(), 100);
  ASSERT_EQ(pane.Height(), 50);
  EXPECT_EQ(0, std::memcmp(pane.PixelData(), picture.PixelData(), 100 * 50 * 4));
}

TEST_F(PaneFile, UnreadableFilesRaiseAndChangeNothing) {
  TBitmap32 pane;
  FillPositions(pane, 256, 256);
  TBitmap32 before;
  before.Assign(&pane);
  const std::string broken = (dir / "broken.jpg").string();
  FILE* f = std::fopen(broken.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("this is not a JPEG stream at all", f);
  std::fclose(f);
  const std::string targa = (dir / "picture.tga").string();
  std::filesystem::copy_file(broken, targa);
  for (const std::string& name : {broken, targa, (dir / "missing.bmp").string()}) {
    EXPECT_THROW(LoadPictureIntoPane(pane, name), Exception) << name;
    EXPECT_EQ(0, std::memcmp(pane.PixelData(), before.PixelData(), 256 * 256 * 4)) << name;
  }
  try {
    LoadPictureIntoPane(pane, broken);
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message().rfind("JPEG-Fehler #", 0), 0u) << e.Message();
  }
}

}  // namespace
