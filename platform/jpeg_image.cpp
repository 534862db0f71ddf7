#include "platform/jpeg_image.h"

#include "platform/file_stream.h"
#include "platform/jpeg_decoder.h"
#include "platform/picture.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

int testBits = 0;

int FindScreenBits() {
  if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    if (QScreen* screen = application->primaryScreen()) return screen->depth();
  return 32;
}

}  // namespace

int ScreenBitsPerPixel() {
  if (testBits != 0) return testBits;
  static const int bits = FindScreenBits();
  return bits;
}

void SetScreenBitsPerPixelForTesting(int Bits) { testBits = Bits; }

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::LoadFromStream(TStream& Stream) {
  std::vector<uint8_t> data = ReadRemainingBytes(Stream);
  TJpegHeader header;
  if (!data.empty()) header = ReadJpegHeader(data.data(), data.size());
  data_ = std::move(data);
  width_ = header.Width;
  height_ = header.Height;
  grayscale_ = header.Grayscale;
  bitmap_.reset();
}

void TJPEGImage::SaveToStream(TStream& Stream) {
  Stream.WriteBuffer(data_.data(), int64_t(data_.size()));
}

const TBitmap& TJPEGImage::Bitmap() {
  if (!bitmap_) {
    auto bitmap = std::make_unique<TBitmap>();
    if (!data_.empty()) DecodeJpeg(data_.data(), data_.size(), ScreenBitsPerPixel() <= 8, *bitmap);
    bitmap_ = std::move(bitmap);
  }
  return *bitmap_;
}

void TJPEGImage::Draw(TCanvas& Canvas, const TRect& Rect) {
  if (Empty()) return;
  Bitmap();
  bitmap_->Draw(Canvas, Rect);
}

// Makes the reader known to the picture loader before the program's entry
// runs. The linker keeps this file for the symbol below (see CMakeLists.txt).
extern "C" const bool QuorvaneJpegReaderRegistered =
    TPicture::RegisterFileFormat<TJPEGImage>("jpeg", "JPEG-Grafikdatei") &&
    TPicture::RegisterFileFormat<TJPEGImage>("jpg", "JPEG-Grafikdatei");
