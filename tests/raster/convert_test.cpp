#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/exceptions.h"
#include "platform/graphic_errors.h"
#include "platform/persistent.h"
#include "platform/picture.h"
#include "raster/bitmap32.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <jerror.h>

#include <string>
#include <vector>

namespace {

void FillPattern(TBitmap32& B) {
  for (int32_t i = 0; i < B.Width() * B.Height(); ++i) B.PixelData()[i] = 0x01020304u * uint32_t(i + 1);
}

std::vector<TColor32> PixelsOf(const TBitmap32& B) {
  if (B.IsEmpty()) return {};
  return {B.PixelData(), B.PixelData() + size_t(B.Width()) * size_t(B.Height())};
}

bool AllAlphaIs(const TBitmap32& B, uint32_t Alpha) {
  for (TColor32 p : PixelsOf(B))
    if (p >> 24 != Alpha) return false;
  return true;
}

struct ChangeCounter {
  int Changes = 0;
  explicit ChangeCounter(TBitmap32& B) {
    B.OnChange = [this](TObject*) { ++Changes; };
  }
};

// A graphic that paints only a filled circle and leaves the rest alone, the
// way icons and metafiles draw.
class CircleGraphic : public TGraphic {
public:
  int32_t Width() const override { return 9; }
  int32_t Height() const override { return 9; }
  bool PaintsOnlyWhatItCovers() const override { return true; }
  void Draw(TCanvas& Canvas, const TRect& Rect) override {
    Canvas.BrushColor = TColor(0x3060C0);  // blue C0, green 60, red 30
    Canvas.PenColor = Canvas.BrushColor;
    Canvas.Ellipse(Rect);
  }
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream&) override {}
};

class FailingGraphic : public CircleGraphic {
public:
  bool PaintsOnlyWhatItCovers() const override { return false; }
  void Draw(TCanvas&, const TRect&) override { throw Exception("drawing failed"); }
};

TEST(ReadPictureFile, JpegGivesItsOwnSizeOpaqueWithOneNotification) {
  ScratchFolder folder;
  const auto file = folder.Write("photo.jpg", EncodeJpeg({.Width = 300, .Height = 200, .Sample = [](int X, int Y, int C) {
                                                             return uint8_t(X + Y * C);
                                                           }}));
  TBitmap32 b;
  b.SetDimensions(17, 5);
  ChangeCounter counter(b);
  b.ReadPictureFile(file);
  EXPECT_EQ(b.Width(), 300);
  EXPECT_EQ(b.Height(), 200);
  EXPECT_TRUE(AllAlphaIs(b, 255));
  EXPECT_EQ(counter.Changes, 1);
}

TEST(ReadPictureFile, BmpAlphaFollowsTheBitsPerPixel) {
  ScratchFolder folder;
  const auto rgb24 = folder.Write("a.bmp", BuildBmp({.Width = 2, .Height = 1, .Bits = 24, .Pixels = PadRows({{1, 2, 3, 4, 5, 6}})}));
  const auto rgb32 = folder.Write("b.bmp", BuildBmp({.Width = 2, .Height = 1, .Bits = 32, .Pixels = {1, 2, 3, 0, 4, 5, 6, 0}}));
  TBitmap32 b;
  b.ReadPictureFile(rgb24);
  EXPECT_EQ(PixelsOf(b), (std::vector<TColor32>{0xFF030201, 0xFF060504}));
  b.ReadPictureFile(rgb32);
  EXPECT_EQ(PixelsOf(b), (std::vector<TColor32>{0x00030201, 0x00060504}));
}

TEST(ReadPictureFile, FailuresLeaveTheBitmapAlone) {
  ScratchFolder folder;
  const std::string files[] = {folder.Write("picture.tga", {0, 0, 2, 0}), folder.Path("missing.jpg"),
                               folder.Write("text.jpg", {'h', 'e', 'l', 'l', 'o'})};
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    TBitmap32 b;
    b.SetDimensions(3, 2);
    FillPattern(b);
    const auto before = PixelsOf(b);
    ChangeCounter counter(b);
    EXPECT_THROW(b.ReadPictureFile(file), Exception);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(PixelsOf(b), before);
    EXPECT_EQ(counter.Changes, 0);
  }
}

TEST(ReadPictureFile, TgaFailsWithTheLoadersError) {
  ScratchFolder folder;
  TBitmap32 b;
  try {
    b.ReadPictureFile(folder.Write("texture.TGA", {0, 0, 2, 0}));
    FAIL() << "read";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.tga)");
  }
}

TEST(ReadPictureFile, NonJpegContentNamedJpgRaisesTheDecoderNumber) {
  ScratchFolder folder;
  TBitmap32 b;
  try {
    b.ReadPictureFile(folder.Write("fake.jpg", {0x89, 'P', 'N', 'G', 13, 10, 26, 10}));
    FAIL() << "read";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Message(), "JPEG-Fehler #" + std::to_string(JERR_NO_SOI));
  }
}

TEST(ReadPictureFile, ZeroByteJpegIsAnEmptyPicture) {
  ScratchFolder folder;
  TBitmap32 b;
  b.SetDimensions(4, 4);
  b.ReadPictureFile(folder.Write("empty.jpg", {}));
  EXPECT_TRUE(b.IsEmpty());
}

TEST(ReadPictureFile, ADecoderErrorWhileDrawingKeepsTheSizeWithZeroPixels) {
  // Without quantisation tables the header reads but the picture cannot be
  // decoded; such a file is made by dropping the tables' segment.
  auto bytes = EncodeJpeg({.Width = 16, .Height = 8, .Sample = [](int, int, int) { return uint8_t(9); }});
  for (size_t at = 2; at + 4 < bytes.size();) {
    const size_t length = size_t(bytes[at + 2]) << 8 | bytes[at + 3];
    if (bytes[at + 1] == 0xDB) {
      bytes.erase(bytes.begin() + at, bytes.begin() + at + 2 + length);
      continue;
    }
    if (bytes[at + 1] == 0xDA) break;
    at += 2 + length;
  }
  ScratchFolder folder;
  TBitmap32 b;
  ChangeCounter counter(b);
  try {
    b.ReadPictureFile(folder.Write("broken.jpg", bytes));
    FAIL() << "read";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Message(), "JPEG-Fehler #" + std::to_string(JERR_NO_QUANT_TABLE));
  }
  EXPECT_EQ(b.Width(), 16);
  EXPECT_EQ(b.Height(), 8);
  EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(16 * 8, 0));
  EXPECT_EQ(counter.Changes, 1);
}

// A texture saved under a JPEG name holds bitmap data; reading it back
// must give the texture, not a decoder error.
TEST(WritePictureFile, WritesA32BitBmpWhateverTheNameAndReadsBackTheSame) {
  ScratchFolder folder;
  TBitmap32 b;
  b.SetDimensions(5, 3);
  FillPattern(b);
  b.PixelData()[0] = 0x00FFFFFF;
  for (const char* name : {"combined.jpg", "combined.jpeg", "combined.bmp"}) {
    SCOPED_TRACE(name);
    const std::string file = folder.Path(name);
    b.WritePictureFile(file);
    const auto bytes = ReadFileBytes(file);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[28], 32);
    EXPECT_EQ(bytes.size(), 54u + 5 * 3 * 4);
    TBitmap32 back;
    back.ReadPictureFile(file);
    EXPECT_EQ(back.Width(), 5);
    EXPECT_EQ(back.Height(), 3);
    EXPECT_EQ(PixelsOf(back), PixelsOf(b));
  }
}

TEST(WritePictureFile, ReplacesAnExistingFileAndReportsOneItCannotCreate) {
  ScratchFolder folder;
  const std::string file = folder.Write("out.bmp", std::vector<uint8_t>(1000, 7));
  TBitmap32 b;
  b.SetDimensions(1, 1);
  b.WritePictureFile(file);
  EXPECT_EQ(ReadFileBytes(file).size(), 58u);
  EXPECT_THROW(b.WritePictureFile(folder.Path("no/such/folder.bmp")), EFCreateError);
  EXPECT_EQ(b.Width(), 1);
}

TEST(Assign, PlatformBitmapWithTransparencyClearsTheKeyColoursAlpha) {
  TBitmap source;
  source.SetSize(3, 1);
  source.ScanLine(0)[0] = 0xFFFF0000;
  source.ScanLine(0)[1] = 0xFF00FF00;
  source.ScanLine(0)[2] = 0xFFFF0000;
  source.SetPixelFormat(pf24bit);
  source.Transparent = true;
  source.SetTransparentColor(clRed);
  TBitmap32 b;
  b.Assign(&source);
  EXPECT_EQ(PixelsOf(b), (std::vector<TColor32>{0x00FF0000, 0xFF00FF00, 0x00FF0000}));
}

TEST(Assign, PictureOfAnIconOrMetafileFindsItsCoverageOverTwoBackgrounds) {
  TPicture picture;
  picture.SetGraphic(std::make_unique<CircleGraphic>());
  TBitmap32 b;
  ChangeCounter counter(b);
  b.Assign(&picture);
  ASSERT_EQ(b.Width(), 9);
  EXPECT_EQ(*b.PixelAddress(4, 4), 0xFFC06030u);
  EXPECT_EQ(*b.PixelAddress(0, 0), 0x00FFFFFFu);
  for (TColor32 p : PixelsOf(b)) EXPECT_TRUE(p == 0xFFC06030u || p == 0x00FFFFFFu) << std::hex << p;
  EXPECT_EQ(counter.Changes, 1);
}

TEST(Assign, OtherGraphicsAreDrawnAndMadeOpaque) {
  CircleGraphic circle;  // assigned directly, not through a picture
  TBitmap32 b;
  b.Assign(&circle);
  EXPECT_EQ(b.Width(), 9);
  EXPECT_TRUE(AllAlphaIs(b, 255));
  EXPECT_EQ(*b.PixelAddress(0, 0), 0xFF000000u) << "the background stays what fresh storage holds";
}

TEST(Assign, AGraphicThatFailsToDrawLeavesTheSizeAndNotifies) {
  FailingGraphic failing;
  TBitmap32 b;
  ChangeCounter counter(b);
  EXPECT_THROW(b.Assign(&failing), Exception);
  EXPECT_EQ(b.Width(), 9);
  EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(81, 0));
  EXPECT_EQ(counter.Changes, 1);
}

TEST(Assign, EmptyPictureEmptiesTheBitmap) {
  TPicture picture;
  TBitmap32 b;
  b.SetDimensions(2, 2);
  b.Assign(&picture);
  EXPECT_TRUE(b.IsEmpty());
}

TEST(AssignTo, PictureAndPlatformBitmapGetEveryByte) {
  TBitmap32 b;
  b.SetDimensions(2, 2);
  FillPattern(b);
  TPicture picture;
  picture.Assign(&b);
  TBitmap* held = picture.Bitmap();
  EXPECT_EQ(held->PixelFormat(), pf32bit);
  ASSERT_EQ(held->Width(), 2);
  EXPECT_EQ(std::vector<uint32_t>(held->Pixels(), held->Pixels() + 4), PixelsOf(b));

  TBitmap target;
  target.SetPixelFormat(pf8bit);
  target.Assign(&b);
  EXPECT_EQ(target.PixelFormat(), pf32bit);
  EXPECT_EQ(std::vector<uint32_t>(target.Pixels(), target.Pixels() + 4), PixelsOf(b));
}

TEST(AssignTo, AnUnknownKindRaisesTheConversionError) {
  struct Other : TPersistent {
    const char* ClassName() const override { return "TOther"; }
  } other;
  TBitmap32 b;
  try {
    other.Assign(&b);
    FAIL() << "assigned";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TBitmap32 to a TOther");
  }
}

TEST(Canvas, IsMadeOnceDrawsOnTheStorageAndFollowsASizeChange) {
  TBitmap32 b;
  b.SetDimensions(4, 4);
  TCanvas* canvas = b.EnsureCanvas();
  EXPECT_EQ(b.EnsureCanvas(), canvas);
  ChangeCounter counter(b);
  canvas->BrushColor = clWhite;
  canvas->FillRect({1, 1, 2, 2});
  EXPECT_EQ(*b.PixelAddress(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(counter.Changes, 1);
  b.SetDimensions(6, 6);
  TCanvas* fresh = b.EnsureCanvas();
  fresh->BrushColor = clWhite;
  fresh->FillRect({5, 5, 6, 6});
  EXPECT_EQ(*b.PixelAddress(5, 5), 0xFFFFFFFFu);
}

TEST(Streaming, WritesWidthHeightAndPixelsLittleEndian) {
  TBitmap32 b;
  b.SetDimensions(2, 1);
  b.PixelData()[0] = 0xFF010203;
  b.PixelData()[1] = 0x80040506;
  TMemoryStream stream;
  b.WritePixelData(stream);
  const std::vector<uint8_t> bytes(stream.Memory(), stream.Memory() + stream.Size());
  EXPECT_EQ(bytes, (std::vector<uint8_t>{2, 0, 0, 0, 1, 0, 0, 0, 3, 2, 1, 0xFF, 6, 5, 4, 0x80}));

  TBitmap32 back;
  ChangeCounter counter(back);
  stream.SetPosition(0);
  back.ReadPixelData(stream);
  EXPECT_EQ(PixelsOf(back), PixelsOf(b));
  EXPECT_EQ(counter.Changes, 2) << "the size change, then the closing notification";
}

TEST(Streaming, NegativeSizesReadAsZeroAndNoPixelBytes) {
  TMemoryStream stream;
  const uint8_t block[] = {0xFD, 0xFF, 0xFF, 0xFF, 4, 0, 0, 0, 0xAA, 0xBB};
  stream.WriteBuffer(block, sizeof block);
  stream.SetPosition(0);
  TBitmap32 b;
  b.ReadPixelData(stream);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 4);
  EXPECT_EQ(stream.Position(), 8);
}

TEST(Streaming, AShortBlockFailsWithTheReadErrorAndStillNotifies) {
  TMemoryStream stream;
  const uint8_t block[] = {2, 0, 0, 0, 2, 0, 0, 0, 1, 2, 3, 4};
  stream.WriteBuffer(block, sizeof block);
  stream.SetPosition(0);
  TBitmap32 b;
  b.SetDimensions(1, 1);
  ChangeCounter counter(b);
  EXPECT_THROW(b.ReadPixelData(stream), EReadError);
  EXPECT_EQ(b.Width(), 1) << "nothing is allocated for pixels the block does not hold";
  EXPECT_EQ(counter.Changes, 1);
}

TEST(Streaming, DataIsStoredOnlyWhenItDiffersFromWhatIsInherited) {
  struct Derived : TBitmap32 {};
  TBitmap32 empty, picture, same, other;
  picture.SetDimensions(2, 2);
  FillPattern(picture);
  same.Assign(&picture);
  other.Assign(&picture);
  other.PixelData()[3] ^= 0x01000000;  // differs in one alpha byte
  Derived derived;
  derived.Assign(&picture);
  TPicture notABitmap;

  struct Case {
    const char* Name;
    TBitmap32* Bitmap;
    TPersistent* Ancestor;
    bool Stored;
  };
  const Case cases[] = {
      {"empty, no ancestor", &empty, nullptr, false},
      {"picture, no ancestor", &picture, nullptr, true},
      {"equal to its ancestor", &same, &picture, false},
      {"one byte off its ancestor", &other, &picture, true},
      {"ancestor of another class", &picture, &derived, true},
      {"ancestor that is no bitmap", &picture, &notABitmap, true},
      {"both empty", &empty, &empty, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TFiler filer(c.Ancestor);
    c.Bitmap->DefineProperties(&filer);
    const TFiler::TBinaryProperty* data = filer.FindBinaryProperty("Data");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->HasData, c.Stored);
  }
}

TEST(Streaming, TheFilersDataPropertyRoundTrips) {
  TBitmap32 source, target;
  source.SetDimensions(3, 2);
  FillPattern(source);
  TFiler writer, reader;
  source.DefineProperties(&writer);
  target.DefineProperties(&reader);
  TMemoryStream stream;
  writer.FindBinaryProperty("Data")->WriteData(stream);
  stream.SetPosition(0);
  reader.FindBinaryProperty("Data")->ReadData(stream);
  EXPECT_EQ(PixelsOf(target), PixelsOf(source));
}

TEST(SameContent, EmptinessDecidesBeforeClassAndClassBeforePixels) {
  struct Derived : TBitmap32 {};
  TBitmap32 a, b, empty;
  Derived derivedEmpty, derived;
  a.SetDimensions(2, 2);
  FillPattern(a);
  b.Assign(&a);
  derived.Assign(&a);
  EXPECT_TRUE(a.SameContent(&b));
  EXPECT_TRUE(empty.SameContent(&derivedEmpty));
  EXPECT_FALSE(a.SameContent(&empty));
  EXPECT_FALSE(a.SameContent(&derived));
  b.PixelData()[0] ^= 1;
  EXPECT_FALSE(a.SameContent(&b));
}

}  // namespace
