#include "platform/bitmap.h"
#include "platform/graphic_errors.h"
#include "platform/jpeg_image.h"
#include "platform/picture.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(PictureLoader, KnowsBitmapsAndJpegFromStartUp) {
  const TFileFormat* bmp = TPicture::FindFileFormat("bmp");
  ASSERT_NE(bmp, nullptr);
  for (const char* extension : {"jpg", "jpeg", "JPG", "JpEg"}) {
    const TFileFormat* jpeg = TPicture::FindFileFormat(extension);
    ASSERT_NE(jpeg, nullptr) << extension;
    EXPECT_EQ(jpeg->Description, "JPEG-Grafikdatei");
    EXPECT_STREQ(jpeg->Create()->ClassName(), "TJPEGImage");
  }
  EXPECT_EQ(TPicture::FindFileFormat("tga"), nullptr);
}

TEST(PictureLoader, ChoosesTheReaderByExtensionWhateverItsCase) {
  ScratchFolder folder;
  const auto bmp = BuildBmp({.Width = 1, .Height = 1, .Bits = 24, .Pixels = {1, 2, 3, 0}});
  TPicture picture;
  picture.LoadFromFile(folder.Write("Upper.BMP", bmp));
  ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 1);
}

TEST(PictureLoader, ReportsWhatWentWrongAndKeepsItsGraphic) {
  ScratchFolder folder;
  const std::string good = folder.Write("good.bmp", BuildBmp({.Width = 2, .Height = 1, .Bits = 24,
                                                               .Pixels = {0, 0, 0, 0, 0, 0, 0, 0}}));
  struct Case {
    std::string File;
    std::string Message;
    bool InvalidGraphic;
  };
  const std::string missing = folder.Path("missing.bmp");
  const std::string directory = folder.Path("folder.bmp");
  std::filesystem::create_directory(directory);
  const Case cases[] = {
      // The extension decides first, whatever the file holds.
      {folder.Write("image.tga", ReadFileBytes(good)), "Unknown picture file extension (.tga)", true},
      {folder.Write("no_extension", {1, 2, 3}), "Unknown picture file extension (.)", true},
      {missing, "Cannot open file \"" + missing + "\". No such file or directory", false},
      {directory, "Cannot open file \"" + directory + "\". Is a directory", false},
      {folder.Write("bad.bmp", {'B', 'M', 0}), "Bitmap image is not valid", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.File);
    TPicture picture;
    picture.LoadFromFile(good);
    TGraphic* before = picture.Graphic();
    try {
      picture.LoadFromFile(c.File);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(dynamic_cast<const EInvalidGraphic*>(&e) != nullptr, c.InvalidGraphic);
      EXPECT_EQ(e.Message().rfind(c.Message, 0), 0u) << e.Message();
    }
    EXPECT_EQ(picture.Graphic(), before);
    EXPECT_EQ(picture.Width(), 2);
  }
}

TEST(PictureLoader, ALaterRegistrationReplacesTheReader) {
  struct Marker : TBitmap {
    const char* ClassName() const override { return "Marker"; }
  };
  TPicture::RegisterFileFormat<Marker>("qvtest", "first");
  TPicture::RegisterFileFormat<TBitmap>("QVTEST", "second");
  const TFileFormat* format = TPicture::FindFileFormat("qvtest");
  ASSERT_NE(format, nullptr);
  EXPECT_EQ(format->Description, "second");
  EXPECT_STREQ(format->Create()->ClassName(), "TBitmap");
}

TEST(Picture, BitmapReplacesAnotherGraphicAndKeepsABitmap) {
  TPicture picture;
  picture.SetGraphic(std::make_unique<TJPEGImage>());
  TBitmap* bitmap = picture.Bitmap();
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(picture.Graphic(), bitmap);
  EXPECT_EQ(picture.Bitmap(), bitmap);
}

}  // namespace
