#include "support/bad_file_checks.h"
#include "support/fixtures.h"
#include "platform/canvas.h"
#include "platform/graphic_errors.h"
#include "platform/icon.h"
#include "platform/picture.h"
#include "platform/streams.h"
#include "raster/bitmap32.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>& Out, uint32_t V) {
  Out.push_back(uint8_t(V));
  Out.push_back(uint8_t(V >> 8));
}
void Put32(std::vector<uint8_t>& Out, uint32_t V) {
  for (int i = 0; i < 4; ++i) Out.push_back(uint8_t(V >> (8 * i)));
}
void Set32(std::vector<uint8_t>& Out, size_t At, uint32_t V) {
  for (int i = 0; i < 4; ++i) Out[At + i] = uint8_t(V >> (8 * i));
}

// One bitmap entry: Value(x, y) is a palette index for 1 to 8 bits, else a
// 0xAARRGGBB colour; Masked(x, y) sets the AND mask. (0, 0) is the top left.
struct BmpEntryLayout {
  int32_t Width = 4;
  int32_t Height = 4;
  uint16_t Bits = 8;
  std::vector<uint32_t> Palette;  // 0x00RRGGBB
  std::function<uint32_t(int, int)> Value = [](int, int) { return 0u; };
  std::function<bool(int, int)> Masked = [](int, int) { return false; };
};

std::vector<uint8_t> BmpEntry(const BmpEntryLayout& S) {
  std::vector<uint8_t> out;
  Put32(out, 40);
  Put32(out, uint32_t(S.Width));
  Put32(out, uint32_t(S.Height * 2));
  Put16(out, 1);
  Put16(out, S.Bits);
  for (int i = 0; i < 6; ++i) Put32(out, i == 4 ? uint32_t(S.Palette.size()) : 0);
  for (uint32_t c : S.Palette) Put32(out, c);
  const size_t stride = (size_t(S.Width) * S.Bits + 31) / 32 * 4;
  for (int32_t y = S.Height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(stride);
    for (int32_t x = 0; x < S.Width; ++x) {
      const uint32_t v = S.Value(x, y);
      if (S.Bits <= 8) {
        const size_t bit = size_t(x) * S.Bits;
        row[bit / 8] |= uint8_t(v << (8 - S.Bits - bit % 8));
      } else {
        for (int b = 0; b < S.Bits / 8; ++b) row[size_t(x) * (S.Bits / 8) + b] = uint8_t(v >> (8 * b));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  const size_t maskStride = (size_t(S.Width) + 31) / 32 * 4;
  for (int32_t y = S.Height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskStride);
    for (int32_t x = 0; x < S.Width; ++x)
      if (S.Masked(x, y)) row[x / 8] |= uint8_t(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<uint8_t> PngEntry(const QImage& Image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  Image.save(&buffer, "PNG");
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

struct Entry {
  int Width;  // as the directory lists it; 256 is written as 0
  int Height;
  uint16_t Bits;
  std::vector<uint8_t> Data;
};

std::vector<uint8_t> BuildIcon(const std::vector<Entry>& Entries) {
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, uint32_t(Entries.size()));
  size_t offset = 6 + 16 * Entries.size();
  for (const Entry& e : Entries) {
    out.push_back(uint8_t(e.Width & 0xFF));
    out.push_back(uint8_t(e.Height & 0xFF));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, e.Bits);
    Put32(out, uint32_t(e.Data.size()));
    Put32(out, uint32_t(offset));
    offset += e.Data.size();
  }
  for (const Entry& e : Entries) out.insert(out.end(), e.Data.begin(), e.Data.end());
  return out;
}

Entry BmpIconEntry(const BmpEntryLayout& S) { return {S.Width, S.Height, S.Bits, BmpEntry(S)}; }

std::unique_ptr<TIcon> LoadIcon(const std::vector<uint8_t>& Bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
  stream.SetPosition(0);
  auto icon = std::make_unique<TIcon>();
  icon->LoadFromStream(stream);
  return icon;
}

// A 4 x 4 icon: the left column masked out, the rest the entry's colours.
struct DepthCase {
  const char* Name;
  BmpEntryLayout Layout;
  uint32_t Covered;  // the expected colour of pixel (2, 1)
};

TEST(IconReading, CoveredPixelsAreOpaqueAndMaskedOnesTransparentWhite) {
  auto leftColumn = [](int x, int) { return x == 0; };
  const std::vector<DepthCase> cases = {
      {"1 bit", {4, 4, 1, {0x000000, 0x12AB34}, [](int x, int) { return x == 0 ? 0u : 1u; }, leftColumn},
       0x12AB34},
      {"4 bits", {4, 4, 4, {0x000000, 0x111111, 0x805020}, [](int x, int) { return x == 0 ? 0u : 2u; }, leftColumn},
       0x805020},
      {"8 bits", {4, 4, 8, {0x000000, 0x0000FF, 0xFF0000}, [](int x, int y) { return x == 0 ? 0u : y == 1 ? 2u : 1u; },
       leftColumn},
       0xFF0000},
      {"24 bits", {4, 4, 24, {}, [](int x, int) { return x == 0 ? 0u : 0x00C0FFEEu; }, leftColumn}, 0xC0FFEE},
      // Alpha bytes all 0: the mask decides, as for the shallower entries.
      {"32 bits, no alpha", {4, 4, 32, {}, [](int x, int) { return x == 0 ? 0u : 0x00336699u; }, leftColumn},
       0x336699},
  };
  for (const DepthCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const ScratchFolder folder;
    const std::string path = folder.Write("test.ico", BuildIcon({BmpIconEntry(c.Layout)}));
    TBitmap32 bitmap;
    bitmap.ReadPictureFile(path);
    ASSERT_EQ(bitmap.Width(), 4);
    ASSERT_EQ(bitmap.Height(), 4);
    for (int y = 0; y < 4; ++y) {
      EXPECT_EQ(bitmap.PixelData()[y * 4 + 0], 0x00FFFFFFu);
      EXPECT_EQ(bitmap.PixelData()[y * 4 + 3] >> 24, 0xFFu);
    }
    EXPECT_EQ(bitmap.PixelData()[1 * 4 + 2], 0xFF000000u | c.Covered);
  }
}

TEST(IconReading, AlphaEntriesAreBlendedAndOnlyOpaquePixelsCount) {
  // Row 0 opaque, row 1 half transparent, rows 2 and 3 fully transparent.
  BmpEntryLayout layout{4, 4, 32, {}, [](int, int y) {
                      return y == 0 ? 0xFF204060u : y == 1 ? 0x80204060u : 0x00204060u;
                    }};
  const std::vector<uint8_t> bytes = BuildIcon({BmpIconEntry(layout)});

  std::vector<uint32_t> background(16, 0xFF808080u);
  TCanvas canvas;
  canvas.SetHandle({background.data(), 4, 4});
  const auto icon = LoadIcon(bytes);
  icon->Draw(canvas, {0, 0, 4, 4});
  EXPECT_EQ(background[0], 0xFF204060u);
  // (0x20 * 128 + 0x80 * 127 + 127) / 255 and so on, rounded to nearest.
  EXPECT_EQ(background[4], 0xFF506070u);
  EXPECT_EQ(background[8], 0xFF808080u);

  const ScratchFolder folder;
  const std::string path = folder.Write("alpha.ico", bytes);
  TBitmap32 bitmap;
  bitmap.ReadPictureFile(path);
  EXPECT_EQ(bitmap.PixelData()[0], 0xFF204060u);
  // Half covered looks different over the two backgrounds: transparent,
  // with the colour it has over white.
  EXPECT_EQ(bitmap.PixelData()[4], 0x008F9FAFu);
  EXPECT_EQ(bitmap.PixelData()[8], 0x00FFFFFFu);
}

TEST(IconDrawing, MaskKeepsTheBackgroundAndXorsItsColour) {
  // Pixel 0 covered, pixel 1 masked with black (background shows), pixel 2
  // masked with white (background inverted), as icons on the screen do.
  BmpEntryLayout layout{3, 1, 24, {}, [](int x, int) { return x == 0 ? 0x00112233u : x == 1 ? 0u : 0x00FFFFFFu; },
                    [](int x, int) { return x > 0; }};
  const auto icon = LoadIcon(BuildIcon({BmpIconEntry(layout)}));
  std::vector<uint32_t> background(6, 0xFF0A0B0Cu);
  TCanvas canvas;
  canvas.SetHandle({background.data(), 6, 1});
  int changes = 0;
  canvas.OnChange = [&](TObject*) { ++changes; };
  // Twice the size: each icon pixel covers two canvas pixels.
  icon->Draw(canvas, {0, 0, 6, 1});
  EXPECT_EQ(background, (std::vector<uint32_t>{0xFF112233u, 0xFF112233u, 0xFF0A0B0Cu, 0xFF0A0B0Cu,
                                               0xFFF5F4F3u, 0xFFF5F4F3u}));
  EXPECT_EQ(changes, 1);
  // Drawn partly off the canvas: the visible half is icon pixels 1 and 2.
  std::fill(background.begin(), background.end(), 0xFF0A0B0Cu);
  icon->Draw(canvas, {-3, 0, 3, 1});
  EXPECT_EQ(background, (std::vector<uint32_t>{0xFF0A0B0Cu, 0xFFF5F4F3u, 0xFFF5F4F3u, 0xFF0A0B0Cu,
                                               0xFF0A0B0Cu, 0xFF0A0B0Cu}));
}

TEST(IconReading, PngEntryIsDecodedWithItsAlpha) {
  QImage image(3, 2, QImage::Format_ARGB32);
  image.fill(qRgba(0, 0, 0, 0));
  image.setPixel(0, 0, qRgba(10, 200, 30, 255));
  image.setPixel(2, 1, qRgba(250, 0, 5, 255));
  const ScratchFolder folder;
  const std::string path = folder.Write("png.ico", BuildIcon({{3, 2, 32, PngEntry(image)}}));
  TBitmap32 bitmap;
  bitmap.ReadPictureFile(path);
  ASSERT_EQ(bitmap.Width(), 3);
  ASSERT_EQ(bitmap.Height(), 2);
  EXPECT_EQ(bitmap.PixelData()[0], 0xFF0AC81Eu);
  EXPECT_EQ(bitmap.PixelData()[5], 0xFFFA0005u);
  EXPECT_EQ(bitmap.PixelData()[1], 0x00FFFFFFu);
}

TEST(IconReading, LargestEntryWinsAndTheDeepestAmongEquals) {
  auto solid = [](int W, uint16_t Bits, uint32_t Index) {
    BmpEntryLayout s{W, W, Bits, {0x000000, 0x0000FF, 0x00FF00}, [Index](int, int) { return Index; }};
    if (Bits > 8) s.Value = [](int, int) { return 0x00FF0000u; };
    return BmpIconEntry(s);
  };
  QImage small(8, 8, QImage::Format_ARGB32);
  small.fill(qRgba(1, 2, 3, 255));
  const auto icon = LoadIcon(BuildIcon({solid(16, 32, 0), solid(32, 1, 1), solid(32, 8, 2), solid(32, 4, 1),
                                         {8, 8, 32, PngEntry(small)}}));
  EXPECT_EQ(icon->Width(), 32);
  EXPECT_EQ(icon->Height(), 32);
  EXPECT_EQ(icon->BitCount(), 8);

  QImage big(300, 260, QImage::Format_ARGB32);
  big.fill(qRgba(1, 2, 3, 255));
  // The directory lists sides past 255 as 0.
  const auto png = LoadIcon(BuildIcon({solid(32, 32, 0), {256, 256, 32, PngEntry(big)}}));
  EXPECT_EQ(png->Width(), 300);
  EXPECT_EQ(png->Height(), 260);
}

TEST(IconReading, RegisteredForTheIcoExtension) {
  const TFileFormat* format = TPicture::FindFileFormat("ICO");
  ASSERT_NE(format, nullptr);
  EXPECT_TRUE(format->Create()->PaintsOnlyWhatItCovers());
}

struct BadIcon {
  const char* Name;
  std::function<std::vector<uint8_t>()> Build;
  const char* Message;
};

std::vector<uint8_t> GoodIcon() {
  return BuildIcon({BmpIconEntry({4, 4, 8, {0x000000, 0xFFFFFF}, [](int x, int) { return uint32_t(x & 1); }})});
}

std::vector<uint8_t> Patched(std::vector<uint8_t> Bytes, size_t At, uint32_t Value) {
  Set32(Bytes, At, Value);
  return Bytes;
}

// Header of the first entry's bitmap in GoodIcon: 6 + 16 bytes in.
constexpr size_t kInfo = 22;

TEST(IconReading, BadFilesRaiseAClearErrorAndLeaveTheBitmapAlone) {
  QImage png(4, 4, QImage::Format_ARGB32);
  png.fill(qRgba(9, 9, 9, 255));
  const std::vector<BadIcon> cases = {
      {"empty file", [] { return std::vector<uint8_t>{}; }, "too short for an icon directory"},
      {"not an icon", [] { return std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0, 0}; }, "does not start with an icon"},
      {"no entries", [] { return std::vector<uint8_t>{0, 0, 1, 0, 0, 0}; }, "lists no images"},
      {"directory cut off",
       [] {
         auto b = GoodIcon();
         b[4] = 200;
         b.resize(6 + 16 * 3);
         return b;
       },
       "ends inside it"},
      {"entry past the end", [] { return Patched(GoodIcon(), 6 + 12, 100000); }, "entry 1 lies outside the file"},
      {"entry longer than the file", [] { return Patched(GoodIcon(), 6 + 8, 0xFFFFFFF0u); }, "lies outside the file"},
      {"entry inside the directory", [] { return Patched(GoodIcon(), 6 + 12, 2); }, "lies outside the file"},
      {"listed size differs",
       [] {
         auto b = GoodIcon();
         b[6] = 16;
         return b;
       },
       "is listed as 16 x 4 but its bitmap is 4 x 4"},
      {"data shorter than the bitmap", [] { return Patched(GoodIcon(), 6 + 8, 40 + 8 + 16); }, "needs"},
      {"enormous bitmap", [] { return Patched(Patched(GoodIcon(), kInfo + 4, 1u << 30), kInfo + 8, 1u << 30); },
       "has an image of 1073741824 x 536870912 pixels"},
      {"odd stored height", [] { return Patched(GoodIcon(), kInfo + 8, 9); }, "odd bitmap height"},
      {"16 bits per pixel", [] { return Patched(GoodIcon(), kInfo + 14, 16 | 1u << 16); }, "16 bits per pixel"},
      {"compressed", [] { return Patched(GoodIcon(), kInfo + 16, 1); }, "compressed"},
      {"colour outside the table",
       [] { return BuildIcon({BmpIconEntry({4, 4, 4, {0, 0xFFFFFF}, [](int, int) { return 7u; }})}); },
       "uses colour 7 of a table of 2"},
      {"enormous PNG",
       [&] {
         auto b = BuildIcon({{4, 4, 32, PngEntry(png)}});
         // Width and height in the PNG header, big-endian.
         b[kInfo + 16] = 0x00; b[kInfo + 17] = 0x10; b[kInfo + 18] = 0; b[kInfo + 19] = 0;
         return b;
       },
       "has an image of 1048576 x 4 pixels"},
      {"PNG of another size", [&] { return BuildIcon({{8, 4, 32, PngEntry(png)}}); }, "but its PNG image is 4 x 4"},
      {"broken PNG data",
       [&] {
         auto b = BuildIcon({{4, 4, 32, PngEntry(png)}});
         for (size_t i = kInfo + 33; i < b.size(); ++i) b[i] = 0x5A;
         return b;
       },
       "cannot be decoded"},
  };
  for (const BadIcon& c : cases) {
    SCOPED_TRACE(c.Name);
    const ScratchFolder folder;
    ExpectReadFailsAndLeavesBitmap(folder.Write("bad.ico", c.Build()), c.Message);
  }
}

}  // namespace
