// Hostile files through the bitmap's readers: each must fail with a clear
// error of its reader, leave the target bitmap as it was, and never crash
// or allocate for a size the file cannot hold.

#include "platform/exceptions.h"
#include "platform/graphic_errors.h"
#include "platform/streams.h"
#include "raster/bitmap32.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <jerror.h>

#include <functional>
#include <string>
#include <vector>

namespace {

enum Reader { kBmp, kJpeg, kData };

struct BadFile {
  const char* Name;
  Reader Kind;
  std::vector<uint8_t> Bytes;
  std::string Message;  // the start of the error's message
};

std::vector<uint8_t> Bmp(BmpLayout Layout) { return BuildBmp(Layout); }

std::vector<uint8_t> Cut(std::vector<uint8_t> Bytes, size_t Size) {
  Bytes.resize(Size);
  return Bytes;
}

std::vector<uint8_t> Patched(std::vector<uint8_t> Bytes, size_t At, std::vector<uint8_t> With) {
  std::copy(With.begin(), With.end(), Bytes.begin() + ptrdiff_t(At));
  return Bytes;
}

std::vector<uint8_t> DataBlock(int32_t Width, int32_t Height, size_t PixelBytes) {
  std::vector<uint8_t> out(8 + PixelBytes, 0x5A);
  for (int i = 0; i < 4; ++i) {
    out[size_t(i)] = uint8_t(uint32_t(Width) >> (8 * i));
    out[size_t(4 + i)] = uint8_t(uint32_t(Height) >> (8 * i));
  }
  return out;
}

std::vector<uint8_t> Rle8(int32_t Width, int32_t Height, std::vector<uint8_t> Codes,
                          int32_t Colors = 2) {
  return Bmp({.Width = Width, .Height = Height, .Bits = 8, .Compression = 1,
              .Palette = std::vector<uint32_t>(size_t(Colors), 0x808080), .Pixels = std::move(Codes)});
}

std::vector<BadFile> BadFiles() {
  const std::string bad = "Bitmap image is not valid: ";
  const auto good24 = Bmp({.Width = 4, .Height = 4, .Bits = 24, .Pixels = std::vector<uint8_t>(48, 1)});
  const auto jpeg = EncodeJpeg({.Width = 16, .Height = 16, .Sample = [](int X, int, int) { return uint8_t(X); }});
  return {
      {"wrong signature", kBmp, Patched(good24, 0, {'X', 'Y'}), bad + "the file does not start with"},
      {"OS/2 bitmap array", kBmp, Patched(good24, 0, {'B', 'A'}), bad + "OS/2 bitmap arrays"},
      {"truncated file header", kBmp, Cut(good24, 9), bad + "the file header is truncated"},
      {"truncated info header", kBmp, Cut(good24, 30), bad + "the info header is truncated"},
      {"unknown info header size", kBmp, Patched(good24, 14, {66, 0, 0, 0}), bad + "unknown info header size 66"},
      {"two planes", kBmp, Patched(good24, 26, {2, 0}), bad + "the number of colour planes is 2"},
      {"zero width", kBmp, Bmp({.Width = 0, .Height = 4, .Pixels = {0, 0, 0, 0}}), bad + "the width is 0"},
      {"negative width", kBmp, Bmp({.Width = -127, .Height = 4, .Pixels = {0, 0, 0, 0}}), bad + "the width is -127"},
      {"zero height", kBmp, Bmp({.Width = 4, .Height = 0, .Pixels = {0, 0, 0, 0}}), bad + "the height is 0"},
      {"100000 x 100000 in 100 bytes", kBmp, Cut(Bmp({.Width = 100000, .Height = 100000, .Pixels = std::vector<uint8_t>(46)}), 100),
       bad + "100000 x 100000 pixels is too large"},
      {"16000 x 16000 in 100 bytes", kBmp, Cut(Bmp({.Width = 16000, .Height = 16000, .Pixels = std::vector<uint8_t>(46)}), 100),
       bad + "the pixel data is truncated"},
      {"pixel data one byte short", kBmp, Cut(good24, good24.size() - 1), bad + "the pixel data is truncated"},
      {"pixel offset beyond the file", kBmp, Patched(good24, 10, {0, 0, 1, 0}), bad + "the pixel data lies beyond"},
      {"pixel offset inside the headers", kBmp, Patched(good24, 10, {20, 0, 0, 0}), bad + "the pixel data would start inside"},
      {"30000 bits per pixel", kBmp, Patched(good24, 28, {0x30, 0x75}), bad + "30000 bits per pixel"},
      {"3 bits per pixel", kBmp, Patched(good24, 28, {3, 0}), bad + "3 bits per pixel"},
      {"unknown compression", kBmp, Patched(good24, 30, {9, 0, 0, 0}), bad + "unknown compression 9"},
      {"RLE8 at 24 bits", kBmp, Patched(good24, 30, {1, 0, 0, 0}), bad + "RLE compression with 24 bits"},
      {"embedded PNG", kBmp, Bmp({.HeaderSize = 124, .Width = 4, .Height = 4, .Bits = 0, .Compression = 5, .Pixels = {0x89, 'P', 'N', 'G'}}),
       bad + "the bitmap holds a compressed PNG picture"},
      {"colour table truncated", kBmp, Cut(Bmp({.Width = 1, .Height = 1, .Bits = 8, .ColorsUsed = 2, .Palette = {0, 0}, .Pixels = {0, 0, 0, 0}}), 60),
       bad + "the colour table is truncated"},
      {"palette index beyond the palette", kBmp,
       Bmp({.Width = 2, .Height = 1, .Bits = 8, .ColorsUsed = 2, .Palette = {0, 0xFFFFFF}, .Pixels = {1, 5, 0, 0}}),
       bad + "a pixel uses colour 5 of a table of 2"},
      {"bit field mask with gaps", kBmp,
       Bmp({.Width = 1, .Height = 1, .Bits = 16, .Compression = 3, .Masks = {0x0F0F, 0x00F0, 0x1000}, .Pixels = {0, 0, 0, 0}}),
       bad + "a colour mask has gaps"},
      {"overlapping bit fields", kBmp,
       Bmp({.Width = 1, .Height = 1, .Bits = 16, .Compression = 3, .Masks = {0xFF00, 0x0FF0, 0x000F}, .Pixels = {0, 0, 0, 0}}),
       bad + "colour masks overlap"},
      {"bit field outside a 16-bit pixel", kBmp,
       Bmp({.Width = 1, .Height = 1, .Bits = 16, .Compression = 3, .Masks = {0xF0000, 0xF0, 0xF}, .Pixels = {0, 0, 0, 0}}),
       bad + "a colour mask lies outside"},
      {"no colour masks", kBmp,
       Bmp({.Width = 1, .Height = 1, .Bits = 32, .Compression = 3, .Masks = {0, 0, 0}, .Pixels = {0, 0, 0, 0}}),
       bad + "no colour masks are set"},
      {"bit field masks cut off", kBmp,
       Cut(Bmp({.Width = 1, .Height = 1, .Bits = 32, .Compression = 3, .Masks = {0xFF, 0xFF00, 0xFF0000}}), 60),
       bad + "the colour masks are truncated"},
      {"alpha bit fields claimed by a header too short to hold them", kBmp,
       Cut(Bmp({.HeaderSize = 52, .Width = 1, .Height = 1, .Bits = 32, .Compression = 6,
                .Masks = {0xFF0000, 0xFF00, 0xFF}}), 66),
       bad + "the pixel data lies beyond"},
      {"RLE run past the row", kBmp, Rle8(4, 2, {5, 1, 0, 1}), bad + "a run goes past the end of a row"},
      {"RLE absolute run past the row", kBmp, Rle8(2, 2, {0, 3, 1, 1, 1, 0, 0, 1}), bad + "a run goes past the end of a row"},
      {"RLE run past the last row", kBmp, Rle8(2, 1, {0, 0, 2, 1, 0, 1}), bad + "a run goes past the last row"},
      {"RLE skip past the picture", kBmp, Rle8(4, 4, {0, 2, 9, 0, 0, 1}), bad + "a skip goes past the picture"},
      {"RLE data ends early", kBmp, Rle8(4, 4, {4, 1, 0, 0, 4, 1}), bad + "the compressed pixel data ends"},
      {"RLE absolute run cut off", kBmp, Rle8(8, 1, {0, 6, 1, 1}), bad + "the compressed pixel data is truncated"},
      {"RLE index beyond the palette", kBmp, Rle8(4, 1, {2, 7, 0, 1}), bad + "a pixel uses colour 7 of a table of 2"},
      {"RLE stored top-down", kBmp, Rle8(4, -4, {0, 1}), bad + "a compressed bitmap cannot be stored top-down"},
      {"RLE 16000 x 16000 in a few bytes", kBmp, Rle8(16000, 16000, {0, 1}), bad + "the compressed data is too short"},
      {"not a JPEG at all", kJpeg, {'G', 'I', 'F', '8', '9', 'a'}, "JPEG-Fehler #" + std::to_string(JERR_NO_SOI)},
      {"JPEG with nothing after its start", kJpeg, {0xFF, 0xD8}, "JPEG-Fehler #" + std::to_string(JERR_NO_IMAGE)},
      {"JPEG header cut short", kJpeg, Cut(jpeg, 30), "JPEG-Fehler #"},
      {"Data shorter than its size fields", kData, {1, 0, 0}, "Stream read error"},
      {"Data 100000 x 100000 in 100 bytes", kData, DataBlock(100000, 100000, 92), "Stream read error"},
      {"Data pixels cut off", kData, DataBlock(3, 3, 35), "Stream read error"},
  };
}

TEST(BadFiles, FailClearlyAndLeaveTheBitmapAlone) {
  ScratchFolder folder;
  for (const BadFile& f : BadFiles()) {
    SCOPED_TRACE(f.Name);
    TBitmap32 b;
    b.SetDimensions(3, 2);
    for (int i = 0; i < 6; ++i) b.PixelData()[i] = 0x11223300u + uint32_t(i);
    std::string message = "no error";
    bool rightKind = false;
    try {
      if (f.Kind == kData) {
        TMemoryStream stream;
        stream.WriteBuffer(f.Bytes.data(), int64_t(f.Bytes.size()));
        stream.SetPosition(0);
        b.ReadPixelData(stream);
      } else {
        b.ReadPictureFile(folder.Write(f.Kind == kBmp ? "bad.bmp" : "bad.jpg", f.Bytes));
      }
    } catch (const Exception& e) {
      message = e.Message();
      rightKind = f.Kind == kBmp    ? dynamic_cast<const EInvalidGraphic*>(&e) != nullptr
                  : f.Kind == kJpeg ? dynamic_cast<const EJPEG*>(&e) != nullptr
                                    : dynamic_cast<const EReadError*>(&e) != nullptr;
    }
    EXPECT_EQ(message.rfind(f.Message, 0), 0u) << message;
    EXPECT_TRUE(rightKind) << message;
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.PixelData()[5], 0x11223305u);
  }
}

}  // namespace
