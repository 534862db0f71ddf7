#include "platform/graphic_errors.h"
#include "platform/jpeg_image.h"
#include "platform/streams.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <jerror.h>
#include <jpeglib.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

uint8_t Pattern(int X, int Y, int C) { return uint8_t((X * 7 + Y * 13 + C * 85) ^ (X * Y)); }

std::unique_ptr<TJPEGImage> Load(const std::vector<uint8_t>& Bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
  stream.SetPosition(0);
  auto image = std::make_unique<TJPEGImage>();
  image->LoadFromStream(stream);
  return image;
}

std::string ErrorOf(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const EJPEG& e) {
    return e.Message();
  }
  return "no error";
}

std::string FehlerText(int Code) { return "JPEG-Fehler #" + std::to_string(Code); }

// The library on its own with the same settings, into a plain buffer of
// 32-bit pixels (indices mapped through the colour map when quantising).
std::vector<uint32_t> ReferenceDecode(const std::vector<uint8_t>& Bytes, bool Quantize,
                                      int* Colors = nullptr) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, Bytes.data(), static_cast<unsigned long>(Bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.dct_method = JDCT_FLOAT;
  info.do_block_smoothing = TRUE;
  if (Quantize || info.out_color_space == JCS_GRAYSCALE) {
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = 236;
  }
  jpeg_start_decompress(&info);
  const int comps = info.output_components;
  std::vector<JSAMPLE> row(size_t(info.output_width) * comps);
  std::vector<uint32_t> out;
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (JDIMENSION x = 0; x < info.output_width; ++x) {
      uint32_t r, g, b;
      if (info.quantize_colors) {
        const int i = row[x];
        r = info.colormap[0][i];
        g = info.out_color_components == 1 ? r : info.colormap[1][i];
        b = info.out_color_components == 1 ? r : info.colormap[2][i];
      } else {
        r = row[x * 3];
        g = row[x * 3 + 1];
        b = row[x * 3 + 2];
      }
      out.push_back(0xFF000000u | r << 16 | g << 8 | b);
    }
  }
  if (Colors) *Colors = info.quantize_colors ? info.actual_number_of_colors : 0;
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return out;
}

std::vector<uint32_t> PixelsOf(const TBitmap& B) {
  return {B.Pixels(), B.Pixels() + size_t(B.Width()) * size_t(B.Height())};
}

// Drops every segment with the given marker before the first scan.
std::vector<uint8_t> WithoutSegments(const std::vector<uint8_t>& Bytes, uint8_t Marker) {
  std::vector<uint8_t> out(Bytes.begin(), Bytes.begin() + 2);
  size_t at = 2;
  while (at + 4 <= Bytes.size() && Bytes[at + 1] != 0xDA) {
    const size_t length = size_t(Bytes[at + 2]) << 8 | Bytes[at + 3];
    if (Bytes[at + 1] != Marker) out.insert(out.end(), Bytes.begin() + at, Bytes.begin() + at + 2 + length);
    at += 2 + length;
  }
  out.insert(out.end(), Bytes.begin() + at, Bytes.end());
  return out;
}

class JpegReader : public ::testing::Test {
protected:
  void TearDown() override { SetScreenBitsPerPixelForTesting(0); }
};

TEST_F(JpegReader, ColourFilesDecodeLikeTheLibraryWithTheReaderSettings) {
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    const auto bytes = EncodeJpeg({.Width = 37, .Height = 21, .Progressive = progressive, .Sample = Pattern});
    auto image = Load(bytes);
    EXPECT_EQ(image->Width(), 37);
    EXPECT_EQ(image->Height(), 21);
    const TBitmap& decoded = image->Bitmap();
    EXPECT_EQ(decoded.PixelFormat(), pf24bit);
    EXPECT_EQ(PixelsOf(decoded), ReferenceDecode(bytes, false));
  }
}

TEST_F(JpegReader, GrayscaleFilesGetAtMost236GreyLevels) {
  const auto bytes = EncodeJpeg({.Width = 256, .Height = 4, .Components = 1, .Quality = 100,
                                 .Sample = [](int X, int, int) { return uint8_t(X); }});
  auto image = Load(bytes);
  EXPECT_TRUE(image->Grayscale());
  const TBitmap& decoded = image->Bitmap();
  EXPECT_EQ(decoded.PixelFormat(), pf8bit);
  EXPECT_LE(decoded.Palette().size(), 236u);
  std::set<uint32_t> levels;
  for (uint32_t p : PixelsOf(decoded)) {
    EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
    EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
    levels.insert(p);
  }
  EXPECT_LE(levels.size(), 236u);
  EXPECT_GT(levels.size(), 200u) << "a full ramp keeps nearly every level";
  EXPECT_EQ(PixelsOf(decoded), ReferenceDecode(bytes, true));
}

TEST_F(JpegReader, WithoutADisplayTheScreenCountsAsDeeperThanEightBits) {
  EXPECT_EQ(ScreenBitsPerPixel(), 32);
  auto image = Load(EncodeJpeg({.Sample = Pattern}));
  EXPECT_EQ(image->Bitmap().PixelFormat(), pf24bit);
}

TEST_F(JpegReader, AScreenOfEightBitsQuantisesColourFilesToo) {
  SetScreenBitsPerPixelForTesting(8);
  const auto bytes = EncodeJpeg({.Width = 40, .Height = 30, .Sample = Pattern});
  auto image = Load(bytes);
  const TBitmap& decoded = image->Bitmap();
  EXPECT_EQ(decoded.PixelFormat(), pf8bit);
  int colors = 0;
  EXPECT_EQ(PixelsOf(decoded), ReferenceDecode(bytes, true, &colors));
  EXPECT_EQ(decoded.Palette().size(), size_t(colors));
  EXPECT_LE(colors, 236);
}

TEST_F(JpegReader, CmykFilesBecomeRgbInvertedOrNot) {
  // Flat colours survive compression within a step or two.
  const uint8_t c = 200, m = 100, y = 50, k = 220;
  for (bool adobe : {true, false}) {
    SCOPED_TRACE(adobe ? "Adobe (inverted)" : "plain");
    const auto bytes = EncodeJpeg({.Width = 16, .Height = 16, .Components = 4, .AdobeMarker = adobe,
                                   .Quality = 100, .Sample = [&](int, int, int C) {
                                     return C == 0 ? c : C == 1 ? m : C == 2 ? y : k;
                                   }});
    auto image = Load(bytes);
    const TBitmap& decoded = image->Bitmap();
    EXPECT_EQ(decoded.PixelFormat(), pf24bit);
    auto expect = [&](uint32_t ink) {
      return adobe ? ink * k / 255 : (255 - ink) * (255 - k) / 255;
    };
    const uint32_t p = decoded.Pixels()[5 * 16 + 5];
    EXPECT_NEAR(int((p >> 16) & 0xFF), int(expect(c)), 2);
    EXPECT_NEAR(int((p >> 8) & 0xFF), int(expect(m)), 2);
    EXPECT_NEAR(int(p & 0xFF), int(expect(y)), 2);
    EXPECT_EQ(p >> 24, 0xFFu);
  }
}

TEST_F(JpegReader, LoadingReadsTheHeaderOnlyAndDecodingRaisesTheLibraryNumber) {
  const auto bytes = WithoutSegments(EncodeJpeg({.Sample = Pattern}), 0xDB);  // no quantisation tables
  auto image = Load(bytes);
  EXPECT_EQ(image->Width(), 8);
  EXPECT_EQ(ErrorOf([&] { image->Bitmap(); }), FehlerText(JERR_NO_QUANT_TABLE));
}

TEST_F(JpegReader, HeaderErrorsRaiseAtLoad) {
  EXPECT_EQ(ErrorOf([] { Load({'B', 'M', 1, 2, 3}); }), FehlerText(JERR_NO_SOI));
  EXPECT_EQ(ErrorOf([] { Load({0xFF, 0xD8}); }), FehlerText(JERR_NO_IMAGE));
}

TEST_F(JpegReader, EmptyFileIsAnEmptyPicture) {
  auto image = Load({});
  EXPECT_TRUE(image->Empty());
  EXPECT_TRUE(image->Bitmap().Empty());
}

TEST_F(JpegReader, TruncatedFileStillDecodesAtFullSize) {
  auto bytes = EncodeJpeg({.Width = 64, .Height = 64, .Sample = Pattern});
  bytes.resize(bytes.size() / 2);
  auto image = Load(bytes);
  const TBitmap& decoded = image->Bitmap();
  EXPECT_EQ(decoded.Width(), 64);
  EXPECT_EQ(decoded.Height(), 64);
}

TEST_F(JpegReader, SizesTheFileCannotHoldAreRefusedAtLoad) {
  auto bytes = EncodeJpeg({.Sample = Pattern});
  // The frame header's height and width, right after its precision byte.
  for (size_t at = 2; at + 9 < bytes.size(); ++at)
    if (bytes[at] == 0xFF && bytes[at + 1] == 0xC0) {
      bytes[at + 5] = bytes[at + 7] = 0xFF;
      bytes[at + 6] = bytes[at + 8] = 0x00;
      break;
    }
  EXPECT_EQ(ErrorOf([&] { Load(bytes); }), "The JPEG picture is too large for its file");
}

}  // namespace
