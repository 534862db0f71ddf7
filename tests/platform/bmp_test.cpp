#include "platform/bitmap.h"
#include "platform/graphic_errors.h"
#include "platform/streams.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                   kBlack = 0xFF000000;

std::unique_ptr<TBitmap> Load(const std::vector<uint8_t>& Bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
  stream.SetPosition(0);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromStream(stream);
  return bitmap;
}

std::vector<uint32_t> PixelsOf(const TBitmap& B) {
  return {B.Pixels(), B.Pixels() + size_t(B.Width()) * size_t(B.Height())};
}

std::string Hex(const std::vector<uint32_t>& Pixels) {
  std::string out;
  char text[12];
  for (uint32_t p : Pixels) {
    std::snprintf(text, sizeof text, "%08X ", p);
    out += text;
  }
  return out;
}

struct GoodCase {
  const char* Name;
  BmpLayout Layout;
  TPixelFormat Format;
  int32_t Width, Height;
  std::vector<uint32_t> Pixels;  // top row first
};

// Two rows of three pixels: red green blue over white black white, stored
// in each layout a writer may choose.
std::vector<GoodCase> GoodCases() {
  const std::vector<uint32_t> rgbOverWb = {kRed, kGreen, kBlue, kWhite, kBlack, kWhite};
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  std::vector<GoodCase> cases;
  cases.push_back({"24 bit bottom-up, padded rows",
                   {.Width = 3, .Height = 2, .Bits = 24,
                    .Pixels = PadRows({{255, 255, 255, 0, 0, 0, 255, 255, 255},
                                       {0, 0, 255, 0, 255, 0, 255, 0, 0}})},
                   pf24bit, 3, 2, rgbOverWb});
  cases.push_back({"24 bit top-down",
                   {.Width = 3, .Height = -2, .Bits = 24,
                    .Pixels = PadRows({{0, 0, 255, 0, 255, 0, 255, 0, 0},
                                       {255, 255, 255, 0, 0, 0, 255, 255, 255}})},
                   pf24bit, 3, 2, rgbOverWb});
  cases.push_back({"8 bit with a short palette",
                   {.Width = 3, .Height = 2, .Bits = 8, .ColorsUsed = 5, .Palette = palette,
                    .Pixels = PadRows({{4, 0, 4}, {1, 2, 3}})},
                   pf8bit, 3, 2, rgbOverWb});
  cases.push_back({"8 bit, 12-byte core header, 3-byte palette entries",
                   {.HeaderSize = 12, .Width = 3, .Height = 2, .Bits = 8, .Palette = palette,
                    .Pixels = PadRows({{4, 0, 4}, {1, 2, 3}})},
                   pf8bit, 3, 2, rgbOverWb});
  cases.push_back({"4 bit",
                   {.Width = 3, .Height = 2, .Bits = 4, .ColorsUsed = 5, .Palette = palette,
                    .Pixels = PadRows({{0x40, 0x40}, {0x12, 0x30}})},
                   pf4bit, 3, 2, rgbOverWb});
  cases.push_back({"1 bit",
                   {.Width = 3, .Height = 2, .Bits = 1, .Palette = {0x000000, 0xFFFFFF},
                    .Pixels = PadRows({{0b10100000}, {0b01000000}})},
                   pf1bit, 3, 2, {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}});
  cases.push_back({"16 bit 5-5-5 default",
                   {.Width = 2, .Height = 1, .Bits = 16, .Pixels = PadRows({{0xFF, 0x7F, 0x00, 0x7C}})},
                   pf16bit, 2, 1, {kWhite, kRed}});
  cases.push_back({"16 bit 5-6-5 bit fields",
                   {.Width = 2, .Height = 1, .Bits = 16, .Compression = 3,
                    .Masks = {0xF800, 0x07E0, 0x001F}, .Pixels = PadRows({{0xE0, 0x07, 0x1F, 0x00}})},
                   pf16bit, 2, 1, {kGreen, kBlue}});
  cases.push_back({"32 bit keeps the fourth byte as alpha",
                   {.Width = 2, .Height = 1, .Bits = 32, .Pixels = {1, 2, 3, 0, 4, 5, 6, 0x80}},
                   pf32bit, 2, 1, {0x00030201, 0x80060504}});
  cases.push_back({"32 bit fields in another order, no alpha mask: opaque",
                   {.Width = 1, .Height = 1, .Bits = 32, .Compression = 3,
                    .Masks = {0x000000FF, 0x0000FF00, 0x00FF0000}, .Pixels = {0x11, 0x22, 0x33, 0x44}},
                   pf32bit, 1, 1, {0xFF112233}});
  cases.push_back({"32 bit alpha bit fields",
                   {.Width = 1, .Height = 1, .Bits = 32, .Compression = 6,
                    .Masks = {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF},
                    .Pixels = {0x40, 0x33, 0x22, 0x11}},
                   pf32bit, 1, 1, {0x40112233}});
  for (uint32_t size : {52u, 56u, 108u, 124u})
    cases.push_back({"32 bit fields inside a longer info header",
                     {.HeaderSize = size, .Width = 1, .Height = 1, .Bits = 32, .Compression = 3,
                      .Masks = {0x0000FF00, 0x00FF0000, 0xFF000000, size >= 56 ? 0x000000FFu : 0u},
                      .Pixels = {0x7F, 0x33, 0x22, 0x11}},
                     pf32bit, 1, 1, {size >= 56 ? 0x7F332211u : 0xFF332211u}});
  // RLE8: row 0 (bottom) "2 x red, absolute 3 4 1", EOL; row 1 delta (1, 0), one blue, EOB.
  cases.push_back({"RLE8 runs, absolute runs, skips and early end",
                   {.Width = 5, .Height = 2, .Bits = 8, .Compression = 1, .Palette = palette,
                    .Pixels = {2, 1, 0, 3, 3, 4, 1, 0, 0, 0, 0, 2, 1, 0, 1, 3, 0, 1}},
                   pf8bit, 5, 2, {kBlack, kBlue, kBlack, kBlack, kBlack, kRed, kRed, kBlue, kWhite, kRed}});
  cases.push_back({"RLE4 runs alternate their two colours",
                   {.Width = 4, .Height = 1, .Bits = 4, .Compression = 2, .Palette = palette,
                    .Pixels = {3, 0x12, 0, 1}},
                   pf4bit, 4, 1, {kRed, kGreen, kRed, kBlack}});
  return cases;
}

TEST(BmpReader, ReadsTheLayoutsRealWritersProduce) {
  for (const GoodCase& c : GoodCases()) {
    SCOPED_TRACE(c.Name);
    auto b = Load(BuildBmp(c.Layout));
    EXPECT_EQ(b->Width(), c.Width);
    EXPECT_EQ(b->Height(), c.Height);
    EXPECT_EQ(b->PixelFormat(), c.Format);
    EXPECT_EQ(Hex(PixelsOf(*b)), Hex(c.Pixels));
  }
}

TEST(BmpReader, EmptyStreamIsAnEmptyBitmap) {
  EXPECT_TRUE(Load({})->Empty());
}

TEST(BmpReader, RejectsJpegAndPngPayloads) {
  for (uint32_t compression : {4u, 5u}) {
    const auto bytes = BuildBmp({.HeaderSize = 124, .Width = 1, .Height = 1, .Bits = 0,
                                 .Compression = compression, .Pixels = {0xFF, 0xD8, 0xFF, 0}});
    try {
      Load(bytes);
      ADD_FAILURE() << "compression " << compression << " was accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(e.Message().find(compression == 4 ? "JPEG" : "PNG"), std::string::npos) << e.Message();
    }
  }
}

// Saving and loading gives the same size, format and pixels for every
// pixel format, alpha included for 32 bits.
TEST(BmpWriter, RoundTripsEveryPixelFormat) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf16bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(BitsPerPixel(format));
    TBitmap b;
    b.SetSize(5, 3);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 5; ++x) b.ScanLine(y)[x] = 0x01000000u * uint32_t(x * 50 + y) | uint32_t(x * 0x3F1F + y * 0x7F0000);
    b.SetPixelFormat(format);
    const std::vector<uint32_t> before = PixelsOf(b);
    TMemoryStream stream;
    b.SaveToStream(stream);
    ASSERT_GE(stream.Size(), 2);
    EXPECT_EQ(stream.Memory()[0], 'B');
    EXPECT_EQ(stream.Memory()[1], 'M');
    stream.SetPosition(0);
    TBitmap back;
    back.LoadFromStream(stream);
    EXPECT_EQ(back.Width(), 5);
    EXPECT_EQ(back.Height(), 3);
    EXPECT_EQ(back.PixelFormat(), format);
    EXPECT_EQ(Hex(PixelsOf(back)), Hex(before));
  }
}

TEST(BmpWriter, Writes32BitsWithEveryAlphaByte) {
  TBitmap b;
  b.SetSize(2, 1);
  b.ScanLine(0)[0] = 0x00123456;
  b.ScanLine(0)[1] = 0x80ABCDEF;
  TMemoryStream stream;
  b.SaveToStream(stream);
  const uint8_t* m = stream.Memory();
  ASSERT_EQ(stream.Size(), 14 + 40 + 8);
  EXPECT_EQ(m[28], 32);  // bits per pixel
  EXPECT_EQ(m[30], 0);   // BI_RGB
  const std::vector<uint8_t> pixels(m + 54, m + 62);
  EXPECT_EQ(pixels, (std::vector<uint8_t>{0x56, 0x34, 0x12, 0x00, 0xEF, 0xCD, 0xAB, 0x80}));
}

TEST(Bitmap, SizeChangesKeepWhatStaysInside) {
  TBitmap b;
  b.SetSize(2, 2);
  b.ScanLine(1)[1] = 0x11223344;
  b.SetWidth(3);
  EXPECT_EQ(b.ScanLine(1)[1], 0x11223344u);
  EXPECT_EQ(b.ScanLine(1)[2], 0u);
  b.SetPixelFormat(pf24bit);
  EXPECT_EQ(b.ScanLine(1)[1], 0xFF223344u) << "fewer than 32 bits are opaque";
  b.SetHeight(3);
  EXPECT_EQ(b.ScanLine(2)[0], kBlack);
}

TEST(Bitmap, TransparentColorFollowsTheBottomLeftPixelUntilSet) {
  TBitmap b;
  b.SetSize(2, 2);
  b.ScanLine(1)[0] = 0xFF102030;
  EXPECT_EQ(b.TransparentColor(), TColor(0x302010));
  b.SetTransparentColor(clRed);
  EXPECT_EQ(b.TransparentMode, tmFixed);
  EXPECT_EQ(b.TransparentColor(), clRed);
}

TEST(Bitmap, DrawLeavesOutTheTransparentColour) {
  TBitmap source;
  source.SetSize(2, 1);
  source.ScanLine(0)[0] = kRed;
  source.ScanLine(0)[1] = kBlue;
  source.Transparent = true;
  source.SetTransparentColor(clRed);
  TBitmap target;
  target.SetSize(2, 1);
  target.Canvas()->BrushColor = clWhite;
  target.Canvas()->FillRect({0, 0, 2, 1});
  target.Canvas()->Draw(0, 0, &source);
  EXPECT_EQ(Hex(PixelsOf(target)), Hex({kWhite, kBlue}));
}

}  // namespace
