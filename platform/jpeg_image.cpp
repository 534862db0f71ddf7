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
  TByteBuffer data = ReadRemainingBytes(Stream);
  TJpegHeader header;
  if (!data.Empty()) header = ReadJpegHeader(data.Data(), data.Size);
  data_ = std::move(data);
  width_ = header.Width;
  height_ = header.Height;
  grayscale_ = header.Grayscale;
  bitmap_.reset();
}

void TJPEGImage::SaveToStream(TStream& Stream) {
  Stream.WriteBuffer(data_.Data(), int64_t(data_.Size));
}

const TBitmap& TJPEGImage::Bitmap() {
  if (!bitmap_) {
    auto bitmap = std::make_unique<TBitmap>();
    if (!data_.Empty()) DecodeJpeg(data_.Data(), data_.Size, ScreenBitsPerPixel() <= 8, *bitmap);
    bitmap_ = std::move(bitmap);
  }
  return *bitmap_;
}

void TJPEGImage::Draw(TCanvas& Canvas, const TRect& Rect) {
  if (Empty()) return;
  const TCanvasSurface& surface = Canvas.Handle();
  const bool fillsSurface = Rect == TRect{0, 0, width_, height_} && surface.Bits != nullptr &&
                            surface.Width == width_ && surface.Height == height_;
  if (!bitmap_ && fillsSurface) {
    // Drawn once at its own size over a whole surface, as a converter does:
    // decoded straight into the surface, without a bitmap in between.
    DecodeJpegInto(data_.Data(), data_.Size, ScreenBitsPerPixel() <= 8, surface.Bits, width_, height_);
    Canvas.Changed();
    return;
  }
  Bitmap();
  bitmap_->Draw(Canvas, Rect);
}

// Makes the reader known to the picture loader before the program's entry
// runs. The linker keeps this file for the symbol below (see CMakeLists.txt).
extern "C" const bool QuorvaneJpegReaderRegistered =
    TPicture::RegisterFileFormat<TJPEGImage>("jpeg", "JPEG-Grafikdatei") &&
    TPicture::RegisterFileFormat<TJPEGImage>("jpg", "JPEG-Grafikdatei");
