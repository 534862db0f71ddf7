#include "app/formula_catalogue.h"
#include "app/mix_tool.h"
#include "raster/bitmap32.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

ToolRun Mix(std::vector<std::string> Arguments) {
  std::ostringstream out, err;
  const int status = RunMixTool(Arguments, out, err);
  return {status, out.str(), err.str()};
}

std::string Bytes(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class MixToolTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("mix_tool_test_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    WriteTexture(Path("a.bmp"), 256, 256, 0);
    WriteTexture(Path("b.bmp"), 300, 200, 7);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Path(const std::string& Name) const { return (dir / Name).string(); }

  // A 32-bit BMP whose pixels, alpha included, differ everywhere.
  static void WriteTexture(const std::string& FileName, int W, int H, uint32_t Seed) {
    TBitmap32 b;
    b.SetDimensions(W, H);
    for (int i = 0; i < W * H; ++i) b.PixelData()[i] = (uint32_t(i) * 2654435761u) ^ Seed;
    b.WritePictureFile(FileName);
  }

  fs::path dir;
};

TEST_F(MixToolTest, BadCommandLinesExitWithTwoAndOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"blend"},
      {"mix", Path("a.bmp")},
      {"mix", Path("a.bmp"), Path("b.bmp"), "--formula", "3"},
      {"mix", Path("a.bmp"), Path("b.bmp"), "-o", Path("out.bmp")},
      {"mix", Path("a.bmp"), Path("b.bmp"), "--formula", "0", "-o", Path("out.bmp")},
      {"mix", Path("a.bmp"), Path("b.bmp"), "--formula", "25", "-o", Path("out.bmp")},
      {"mix", Path("a.bmp"), Path("b.bmp"), "--formula", "x", "-o", Path("out.bmp")},
      {"mix", Path("a.bmp"), Path("b.bmp"), "--formula", "1", "--weightmap", Path("a.bmp"), "-o",
       Path("out.bmp")},
      {"mix", Path("a.bmp"), Path("b.bmp"), "--formula", "1", "-o"},
      {"mix", Path("a.bmp"), Path("b.bmp"), "--formula", "1", "--formula", "2", "-o", Path("o")},
      {"convert", Path("a.bmp")},
      {"convert", Path("a.bmp"), Path("out.bmp"), "--size", "0x5"},
      {"convert", Path("a.bmp"), Path("out.bmp"), "--size", "12"},
      {"convert", Path("a.bmp"), Path("out.bmp"), "--filter", "bicubic"},
      {"convert", Path("a.bmp"), Path("out.bmp"), "--colour", "red"},
      {"formulas", "extra"},
  };
  for (const auto& arguments : cases) {
    const ToolRun run = Mix(arguments);
    std::string line;
    for (const auto& a : arguments) line += a + " ";
    EXPECT_EQ(run.status, kExitUsageError) << line;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_TRUE(run.out.empty()) << line;
  }
  EXPECT_FALSE(fs::exists(Path("out.bmp")));
}

TEST_F(MixToolTest, FilesThatFailExitWithOneNamingTheFile) {
  std::ofstream(Path("broken.jpg")) << "not a picture";
  std::ofstream(Path("texture.tga")) << "TGA";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"mix", Path("missing.jpg"), Path("b.bmp"), "--formula", "1", "-o", Path("o.bmp")},
       "missing.jpg"},
      {{"mix", Path("a.bmp"), Path("broken.jpg"), "--formula", "1", "-o", Path("o.bmp")},
       "broken.jpg"},
      {{"mix", Path("a.bmp"), Path("b.bmp"), "--weightmap", Path("texture.tga"), "-o",
        Path("o.bmp")},
       "texture.tga"},
      {{"convert", Path("broken.jpg"), Path("o.bmp")}, "broken.jpg"},
      {{"convert", Path("a.bmp"), Path("no/such/folder/o.bmp")}, "o.bmp"},
  };
  for (const auto& [arguments, file] : cases) {
    const ToolRun run = Mix(arguments);
    EXPECT_EQ(run.status, kExitFileError) << file;
    EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
  EXPECT_NE(Mix({"convert", Path("broken.jpg"), Path("o.bmp")}).err.find("JPEG-Fehler #"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(Path("o.bmp")));
}

TEST_F(MixToolTest, FailedWriteLeavesNoFileBehind) {
  // Renaming over a folder fails after the picture was written.
  fs::create_directories(Path("taken.bmp"));
  const ToolRun run = Mix({"convert", Path("a.bmp"), Path("taken.bmp")});
  EXPECT_EQ(run.status, kExitFileError);
  EXPECT_TRUE(fs::is_directory(Path("taken.bmp")));
  for (const auto& entry : fs::directory_iterator(dir))
    EXPECT_EQ(entry.path().filename().string().find("taken.bmp."), std::string::npos)
        << "temporary left: " << entry.path();
}

TEST_F(MixToolTest, ConvertRoundTripsA32BitBmp) {
  ASSERT_EQ(Mix({"convert", Path("a.bmp"), Path("copy.jpg")}).status, 0);
  EXPECT_EQ(Bytes(Path("copy.jpg")), Bytes(Path("a.bmp")));
  EXPECT_EQ(fs::status(Path("copy.jpg")).permissions() & fs::perms::others_read,
            fs::perms::others_read);
}

TEST_F(MixToolTest, ConvertScalesWithTheChosenFilter) {
  ASSERT_EQ(Mix({"convert", Path("a.bmp"), Path("half.bmp"), "--size", "128x64"}).status, 0);
  TBitmap32 source, half;
  source.ReadPictureFile(Path("a.bmp"));
  half.ReadPictureFile(Path("half.bmp"));
  ASSERT_EQ(half.Width(), 128);
  ASSERT_EQ(half.Height(), 64);
  EXPECT_EQ(*half.PixelAddress(5, 7), *source.PixelAddress(10, 28)) << "nearest by default";

  ASSERT_EQ(Mix({"convert", Path("a.bmp"), Path("soft.bmp"), "--size=128x64", "--filter=linear"})
                .status,
            0);
  TBitmap32 soft;
  soft.ReadPictureFile(Path("soft.bmp"));
  EXPECT_NE(std::memcmp(soft.PixelData(), half.PixelData(), 128 * 64 * 4), 0);
}

TEST_F(MixToolTest, AllFormulasMatchTheSingleOnes) {
  ASSERT_EQ(Mix({"mix", Path("a.bmp"), Path("b.bmp"), "--formula", "all", "-o", Path("all")}).status,
            0);
  for (int n : {1, 9, 24}) {
    const std::string single = Path("single.bmp");
    ASSERT_EQ(Mix({"mix", Path("a.bmp"), Path("b.bmp"), "--formula", std::to_string(n), "-o",
                   single})
                  .status,
              0);
    char name[8];
    std::snprintf(name, sizeof name, "%02d.bmp", n);
    EXPECT_EQ(Bytes(Path(std::string("all/") + name)), Bytes(single)) << name;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(Path("all")), fs::directory_iterator()), 24);
}

TEST_F(MixToolTest, FormulasListsTheFormulaBoxTexts) {
  const ToolRun run = Mix({"formulas"});
  EXPECT_EQ(run.status, 0);
  std::istringstream lines(run.out);
  std::vector<std::string> all;
  for (std::string line; std::getline(lines, line);) all.push_back(line);
  ASSERT_EQ(all.size(), 24u);
  EXPECT_EQ(all[0], "1:  x");
  EXPECT_EQ(all[10], "11:  min(255,255*y/(255-x)");
  EXPECT_EQ(all[23], "24:  x xor y");
}

TEST_F(MixToolTest, HelpAndVersion) {
  EXPECT_EQ(Mix({"--help"}).status, 0);
  EXPECT_NE(Mix({"--help"}).out.find("quorvane-mix mix A B"), std::string::npos);
  const ToolRun version = Mix({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("quorvane-mix ", 0), 0u);
}

}  // namespace
