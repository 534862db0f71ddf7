#include "metafile_writer.h"
#include "support/bad_file_checks.h"
#include "support/fixtures.h"
#include "platform/graphic_errors.h"
#include "platform/metafile.h"
#include "platform/picture.h"
#include "platform/streams.h"
#include "raster/bitmap32.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <memory>
#include <functional>
#include <string>
#include <vector>

namespace {

using mf::EmfWriter;
using mf::WmfWriter;

enum : uint32_t {
  EMR_POLYGON = 3, EMR_POLYLINE = 4, EMR_SETWINDOWEXTEX = 9, EMR_SETWINDOWORGEX = 10, EMR_SETMAPMODE = 17,
  EMR_SETBKMODE = 18, EMR_SETPOLYFILLMODE = 19, EMR_SAVEDC = 33, EMR_RESTOREDC = 34,
  EMR_SELECTOBJECT = 37, EMR_CREATEPEN = 38, EMR_CREATEBRUSHINDIRECT = 39, EMR_ELLIPSE = 42,
  EMR_RECTANGLE = 43, EMR_ROUNDRECT = 44, EMR_PIE = 47, EMR_SETARCDIRECTION = 57, EMR_POLYBEZIER16 = 85,
  EMR_POLYPOLYGON16 = 91, EMR_GDICOMMENT = 70, EMR_EXTTEXTOUTW = 84, EMR_SETWORLDTRANSFORM = 35,
};
constexpr int32_t kNullPen = int32_t(0x80000008u);
constexpr int32_t kRed = 0x0000FF, kBlue = 0xFF0000;

// 96 pixels at 96 pixels per inch is 2540 hundredths of a millimetre.
constexpr int32_t kInch = 2540;

// A red solid brush in slot 1 and no outline: shapes cover exactly their fill.
EmfWriter RedFill() {
  EmfWriter w;
  w.Add(EMR_CREATEBRUSHINDIRECT, {1, 0, kRed, 0}).Add(EMR_SELECTOBJECT, {1}).Add(EMR_SELECTOBJECT, {kNullPen});
  return w;
}

std::unique_ptr<TBitmap32> Read(const std::string& Name, const std::vector<uint8_t>& Bytes) {
  const ScratchFolder folder;
  const std::string path = folder.Write(Name, Bytes);
  auto bitmap = std::make_unique<TBitmap32>();
  bitmap->ReadPictureFile(path);
  return bitmap;
}

uint32_t At(const TBitmap32& B, int X, int Y) { return B.PixelData()[Y * B.Width() + X]; }

void ExpectDisc(const TBitmap32& B, double Cx, double Cy, double R, uint32_t Colour) {
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x) {
      const double d = std::hypot(x + 0.5 - Cx, y + 0.5 - Cy);
      if (d < R - 1) {
        ASSERT_EQ(At(B, x, y), 0xFF000000u | Colour) << x << "," << y;
      } else if (d > R + 1) {
        ASSERT_EQ(At(B, x, y), 0x00FFFFFFu) << x << "," << y;
      }
    }
}

TEST(MetafileReading, FilledCircleIsOpaqueInsideAndTransparentWhiteOutside) {
  const auto emf = Read("circle.emf", RedFill().Add(EMR_ELLIPSE, {16, 16, 80, 80}).Bytes(kInch, kInch));
  ASSERT_EQ(emf->Width(), 96);
  ASSERT_EQ(emf->Height(), 96);
  ExpectDisc(*emf, 48, 48, 32, 0xFF0000);

  WmfWriter w;
  w.Add(0x02FC, {0, kRed, 0, 0}).Add(0x012D, {0}).Add(0x02FA, {5, 0, 0, 0, 0}).Add(0x012D, {1});
  w.Add(0x0418, {80 * 15, 80 * 15, 16 * 15, 16 * 15});
  // Placeable, at 1440 units per inch; the upper-case name finds the reader too.
  const auto wmf = Read("CIRCLE.WMF", w.Placeable(0, 0, 96 * 15, 96 * 15, 1440));
  ASSERT_EQ(wmf->Width(), 96);
  ExpectDisc(*wmf, 48, 48, 32, 0xFF0000);
}

TEST(MetafileReading, EveryKindTheOpenFilterOffersButTargaHasAReader) {
  const std::string filter =
      "Alle (*.tga;*.jpg;*.jpeg;*.bmp)|*.tga;*.jpg;*.jpeg;*.bmp;*.emf;*.wmf|Targa (*.tga)|*.tga|"
      "JPEG-Grafikdatei (*.jpg)|*.jpg|JPEG-Grafikdatei (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";
  for (size_t at = filter.find("*."); at != std::string::npos; at = filter.find("*.", at + 1)) {
    const std::string extension = filter.substr(at + 2, filter.find_first_of(";|)", at) - at - 2);
    SCOPED_TRACE(extension);
    EXPECT_EQ(TPicture::FindFileFormat(extension) != nullptr, extension != "tga");
  }
}

struct SizeCase {
  const char* Name;
  const char* File;
  std::vector<uint8_t> Bytes;
  int32_t Width, Height;
};

TEST(MetafileReading, SizeComesFromTheHeaderAt96PixelsPerInch) {
  WmfWriter plain;
  plain.Add(0x020B, {5, 10}).Add(0x020C, {100, 200});
  const std::vector<SizeCase> cases = {
      {"enhanced frame", "a.emf", EmfWriter().Bytes(2 * kInch, kInch / 2), 192, 48},
      {"enhanced frame, rounded", "b.emf", EmfWriter().Bytes(1000, 10), 38, 0},
      {"placeable box", "c.wmf", WmfWriter().Placeable(-500, 0, 500, 500, 1000), 96, 48},
      {"placeable box with y going up", "d.wmf", WmfWriter().Placeable(0, 720, 1440, 0, 1440), 96, 48},
      {"plain, first window", "e.wmf", plain.Plain(), 200, 100},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto bitmap = Read(c.File, c.Bytes);
    EXPECT_EQ(bitmap->Width(), c.Width);
    EXPECT_EQ(bitmap->Height(), c.Height);
  }
}

// Where a drawing lands: Covered pixels show Colour, Open ones the background.
struct DrawCase {
  const char* Name;
  std::function<EmfWriter()> Build;
  std::vector<std::pair<int, int>> Covered, Open;
  uint32_t Colour = 0xFF0000;
};

TEST(MetafileDrawing, ShapesModesAndStateLandWhereThePlatformPutsThem) {
  const std::vector<DrawCase> cases = {
      {"rectangle excludes its right and bottom edge", [] { return RedFill().Add(EMR_RECTANGLE, {10, 10, 20, 20}); },
       {{10, 10}, {19, 19}}, {{20, 15}, {15, 20}, {9, 9}}},
      {"outline in the pen's colour along the inner edge",
       [] {
         EmfWriter w = RedFill();
         w.Add(EMR_CREATEPEN, {2, 0, 1, 0, kBlue}).Add(EMR_SELECTOBJECT, {2}).Add(EMR_RECTANGLE, {10, 10, 20, 20});
         return w;
       },
       {{10, 15}, {19, 15}, {15, 19}}, {{20, 15}, {15, 20}}, 0x0000FF},
      {"rounded rectangle leaves its corners", [] { return RedFill().Add(EMR_ROUNDRECT, {0, 0, 96, 96, 40, 40}); },
       {{48, 48}, {48, 1}, {1, 48}}, {{1, 1}, {94, 94}}},
      {"polygon, alternate fill leaves the star's centre",
       [] { return RedFill().Add(EMR_POLYGON, {0, 0, 0, 0, 5, 48, 0, 76, 86, 0, 30, 96, 30, 20, 86}); },
       {{48, 10}, {20, 35}}, {{48, 45}}},
      {"polygon, winding fill covers it",
       [] {
         return RedFill().Add(EMR_SETPOLYFILLMODE, {2}).Add(EMR_POLYGON, {0, 0, 0, 0, 5, 48, 0, 76, 86, 0, 30, 96, 30, 20, 86});
       },
       {{48, 10}, {48, 45}}, {}},
      {"poly-polygon of 16-bit points",
       [] { return RedFill().Add(EMR_POLYPOLYGON16, {0, 0, 0, 0, 2, 7, 3, 4, 0 | 0 << 16, 10, 10 << 16, 50 | 50 << 16, 60 | 50 << 16, 60 | 60 << 16, 50 | 60 << 16}); },
       {{3, 6}, {55, 55}}, {{30, 30}, {8, 8}}},
      {"pie, counter-clockwise from three to twelve o'clock",
       [] { return RedFill().Add(EMR_PIE, {0, 0, 96, 96, 96, 48, 48, 0}); }, {{70, 25}}, {{25, 25}, {70, 70}}},
      {"pie, clockwise",
       [] { return RedFill().Add(EMR_SETARCDIRECTION, {2}).Add(EMR_PIE, {0, 0, 96, 96, 96, 48, 48, 0}); },
       {{25, 25}, {70, 70}}, {{70, 25}}},
      {"polyline and bezier in the pen's colour",
       [] {
         EmfWriter w;
         w.Add(EMR_CREATEPEN, {1, 0, 1, 0, kBlue}).Add(EMR_SELECTOBJECT, {1});
         w.Add(EMR_POLYLINE, {0, 0, 0, 0, 2, 10, 40, 80, 40});
         w.Add(EMR_POLYBEZIER16, {0, 0, 0, 0, 4, 10 | 60 << 16, 30 | 60 << 16, 60 | 60 << 16, 80 | 60 << 16});
         return w;
       },
       {{20, 40}, {79, 40}, {45, 60}}, {{20, 41}, {45, 59}, {45, 61}}, 0x0000FF},
      {"restoring the state brings the red brush back",
       [] {
         EmfWriter w = RedFill();
         w.Add(EMR_SAVEDC).Add(EMR_CREATEBRUSHINDIRECT, {2, 0, kBlue, 0}).Add(EMR_SELECTOBJECT, {2});
         w.Add(EMR_RESTOREDC, {-1}).Add(EMR_RECTANGLE, {0, 0, 10, 10});
         return w;
       },
       {{5, 5}}, {}},
      {"window and viewport in anisotropic mode",
       [] {
         EmfWriter w = RedFill();
         w.Add(EMR_SETMAPMODE, {8}).Add(EMR_SETWINDOWORGEX, {100, 100}).Add(EMR_SETWINDOWEXTEX, {10, 10});
         w.Add(11, {96, 96}).Add(EMR_RECTANGLE, {100, 100, 105, 110});
         return w;
       },
       {{20, 50}, {47, 90}}, {{49, 50}}},
      {"tenths of a millimetre with y going up",
       [] { return RedFill().Add(EMR_SETMAPMODE, {2}).Add(EMR_RECTANGLE, {0, 0, 127, -127}); },
       {{5, 5}, {46, 46}}, {{49, 5}, {5, 49}}},
      {"world transform moves the shape",
       [] {
         EmfWriter w = RedFill();
         const float m[6] = {1, 0, 0, 1, 50, 0};
         std::vector<int32_t> f;
         for (float v : m) f.push_back(std::bit_cast<int32_t>(v));
         return w.Add(EMR_SETWORLDTRANSFORM, f).Add(EMR_RECTANGLE, {0, 0, 10, 10});
       },
       {{55, 5}}, {{5, 5}}},
      {"text, comments and unknown records are skipped",
       [] {
         EmfWriter w = RedFill();
         w.Add(EMR_EXTTEXTOUTW, std::vector<int32_t>(17, 0)).Add(EMR_GDICOMMENT, {4, 0x2B464D45});
         return w.Add(200, {1, 2, 3}).Add(EMR_RECTANGLE, {0, 0, 10, 10});
       },
       {{5, 5}}, {}},
  };
  for (const DrawCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto bitmap = Read("shape.emf", c.Build().Bytes(kInch, kInch));
    ASSERT_EQ(bitmap->Width(), 96);
    for (auto [x, y] : c.Covered) EXPECT_EQ(At(*bitmap, x, y), 0xFF000000u | c.Colour) << x << "," << y;
    for (auto [x, y] : c.Open) EXPECT_EQ(At(*bitmap, x, y), 0x00FFFFFFu) << x << "," << y;
  }
}

TEST(MetafileDrawing, WindowsObjectsTakeTheLowestFreeSlotAndTheWindowFillsThePicture) {
  WmfWriter w;
  w.Add(0x02FC, {0, kRed, 0, 0});        // brush, slot 0
  w.Add(0x02FC, {0, kBlue & 0xFFFF, kBlue >> 16, 0});  // brush, slot 1
  w.Add(0x01F0, {0});                    // slot 0 free again
  w.Add(0x02FA, {5, 0, 0, 0, 0});        // null pen, slot 0
  w.Add(0x012D, {0}).Add(0x012D, {1});
  // The window (1000, 1000) to (1100, 1050) fills the 96 x 48 picture.
  w.Add(0x0103, {8}).Add(0x020B, {1000, 1000}).Add(0x020C, {50, 100});
  w.Add(0x041B, {1050, 1050, 1000, 1000});  // the left half
  const auto bitmap = Read("slots.wmf", w.Placeable(0, 0, 96, 48, 96));
  ASSERT_EQ(bitmap->Width(), 96);
  ASSERT_EQ(bitmap->Height(), 48);
  EXPECT_EQ(At(*bitmap, 0, 0), 0xFF0000FFu);
  EXPECT_EQ(At(*bitmap, 47, 47), 0xFF0000FFu);
  EXPECT_EQ(At(*bitmap, 48, 0), 0x00FFFFFFu);
}

TEST(MetafileDrawing, HatchGapsShowTheBackgroundOnlyInTransparentMode) {
  auto hatched = [](int32_t BkMode) {
    EmfWriter w;
    w.Add(EMR_CREATEBRUSHINDIRECT, {1, 2, kRed, 0}).Add(EMR_SELECTOBJECT, {1}).Add(EMR_SELECTOBJECT, {kNullPen});
    return w.Add(EMR_SETBKMODE, {BkMode}).Add(25, {kBlue}).Add(EMR_RECTANGLE, {0, 0, 96, 96}).Bytes(kInch, kInch);
  };
  auto count = [](const TBitmap32& B, uint32_t Pixel) {
    int n = 0;
    for (int i = 0; i < B.Width() * B.Height(); ++i) n += B.PixelData()[i] == Pixel;
    return n;
  };
  const auto transparent = Read("t.emf", hatched(1));
  EXPECT_GT(count(*transparent, 0xFFFF0000u), 96 * 4);
  EXPECT_GT(count(*transparent, 0x00FFFFFFu), 96 * 48);
  const auto opaque = Read("o.emf", hatched(2));
  EXPECT_EQ(count(*opaque, 0xFFFF0000u) + count(*opaque, 0xFF0000FFu), 96 * 96);
}

struct BadMetafile {
  const char* Name;
  const char* File;
  std::function<std::vector<uint8_t>()> Build;
  const char* Message;
};

std::vector<uint8_t> Patched(std::vector<uint8_t> Bytes, size_t At, uint32_t Value) {
  for (int i = 0; i < 4; ++i) Bytes[At + i] = uint8_t(Value >> (8 * i));
  return Bytes;
}

TEST(MetafileReading, BadFilesRaiseAClearErrorAndLeaveTheBitmapAlone) {
  const auto emf = [] { return RedFill().Add(EMR_RECTANGLE, {0, 0, 10, 10}).Bytes(kInch, kInch); };
  // The first record after the 88-byte header.
  constexpr size_t kRecord = 88;
  const std::vector<BadMetafile> cases = {
      {"empty", "a.emf", [] { return std::vector<uint8_t>{}; }, "the file is empty"},
      {"not a metafile", "a.wmf", [] { return std::vector<uint8_t>(40, 'x'); }, "neither an enhanced nor a Windows metafile"},
      {"header cut off", "a.emf", [&] { auto b = emf(); b.resize(100); return b; }, "claims"},
      {"shorter than it says", "a.emf", [&] { return Patched(emf(), 48, 100000); }, "but the file has"},
      {"record of size 0 would loop", "a.emf", [&] { return Patched(emf(), kRecord + 4, 0); },
       "record 2 claims a size of 0"},
      {"record size not in words", "a.emf", [&] { return Patched(emf(), kRecord + 4, 26); }, "claims a size of 26"},
      {"record runs past the end", "a.emf", [&] { return Patched(emf(), kRecord + 4, 4000); }, "runs past the end"},
      {"record too short for its fields", "a.emf",
       [] { return EmfWriter().Add(EMR_RECTANGLE, {0, 0}).Bytes(kInch, kInch); }, "fewer than its 24 bytes"},
      {"absurd point count", "a.emf",
       [] { return EmfWriter().Add(EMR_POLYGON, {0, 0, 0, 0, 0x40000000, 1, 1}).Bytes(kInch, kInch); },
       "declares 1073741824 points"},
      {"absurd figure count", "a.emf",
       [] { return EmfWriter().Add(EMR_POLYPOLYGON16, {0, 0, 0, 0, -1, 3, 3}).Bytes(kInch, kInch); },
       "declares 4294967295 figures"},
      {"figure counts disagree", "a.emf",
       [] { return EmfWriter().Add(EMR_POLYPOLYGON16, {0, 0, 0, 0, 1, 5, 3, 0, 0, 0}).Bytes(kInch, kInch); },
       "3 points in all, not 5"},
      {"enormous frame", "a.emf", [] { return EmfWriter().Bytes(0x7FFFFFFF, 0x7FFFFFFF); }, "is too large"},
      {"inverted frame", "a.emf", [&] { return Patched(emf(), 32, uint32_t(-5)); }, "frame is inverted"},
      {"reference device without size", "a.emf", [&] { return Patched(emf(), 80, 0); }, "has no size"},
      {"second header", "a.emf", [] { return EmfWriter().Add(1, {0, 0}).Bytes(kInch, kInch); }, "a second header"},
      {"windows metafile longer than the file", "a.wmf",
       [] { return Patched(WmfWriter().Placeable(0, 0, 10, 10, 96), 22 + 6, 5000); }, "the header claims"},
      {"windows record of size 0 would loop", "a.wmf",
       [] { return WmfWriter().AddRaw(0x0418, 0).Placeable(0, 0, 10, 10, 96); }, "claims a size of 0"},
      {"windows record past the end", "a.wmf",
       [] { return WmfWriter().AddRaw(0x0418, 9000, {1, 2, 3, 4}).Placeable(0, 0, 10, 10, 96); },
       "runs past the end"},
      {"windows polygon count beyond its record", "a.wmf",
       [] { return WmfWriter().Add(0x0324, {30000, 1, 1}).Placeable(0, 0, 10, 10, 96); }, "declares 30000 points"},
      {"windows poly-polygon count beyond its record", "a.wmf",
       [] { return WmfWriter().Add(0x0538, {60000, 1}).Placeable(0, 0, 10, 10, 96); }, "fewer than 60001"},
      {"windows rectangle too short", "a.wmf",
       [] { return WmfWriter().Add(0x041B, {1, 2}).Placeable(0, 0, 10, 10, 96); }, "fewer than 4"},
      {"no units per inch", "a.wmf", [] { return WmfWriter().Placeable(0, 0, 10, 10, 0); }, "0 units per inch"},
      {"enormous placeable box", "a.wmf", [] { return WmfWriter().Placeable(-32768, -32768, 32767, 32767, 1); },
       "is too large"},
      {"plain without a window", "a.wmf", [] { return WmfWriter().Add(0x0418, {9, 9, 0, 0}).Plain(); },
       "sets no window extent"},
  };
  for (const BadMetafile& c : cases) {
    SCOPED_TRACE(c.Name);
    const ScratchFolder folder;
    ExpectReadFailsAndLeavesBitmap(folder.Write(c.File, c.Build()), c.Message);
  }
}

}  // namespace
