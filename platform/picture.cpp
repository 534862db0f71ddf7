#include "platform/picture.h"

#include "platform/bitmap.h"
#include "platform/file_stream.h"
#include "platform/graphic_errors.h"

#include <algorithm>
#include <cctype>

namespace {

std::string LowerCase(std::string Text) {
  for (char& c : Text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return Text;
}

std::vector<TFileFormat>& Registry() {
  static std::vector<TFileFormat> formats{
      {"bmp", "Bitmaps", [] { return std::make_unique<TBitmap>(); }},
  };
  return formats;
}

// The text after the last dot of the file's own name; empty without one.
std::string ExtensionOf(const std::string& FileName) {
  const size_t slash = FileName.find_last_of('/');
  const size_t dot = FileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return FileName.substr(dot + 1);
}

}  // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  TGraphicFactory Create) {
  auto& formats = Registry();
  const std::string key = LowerCase(Extension);
  auto it = std::find_if(formats.begin(), formats.end(),
                         [&](const TFileFormat& f) { return f.Extension == key; });
  if (it != formats.end())
    *it = {key, Description, std::move(Create)};
  else
    formats.push_back({key, Description, std::move(Create)});
}

std::vector<TFileFormat> TPicture::FileFormats() { return Registry(); }

const TFileFormat* TPicture::FindFileFormat(const std::string& Extension) {
  const std::string key = LowerCase(Extension);
  for (const auto& format : Registry())
    if (format.Extension == key) return &format;
  return nullptr;
}

void TPicture::LoadFromFile(const std::string& FileName) {
  const std::string extension = ExtensionOf(FileName);
  const TFileFormat* format = FindFileFormat(extension);
  if (format == nullptr)
    throw EInvalidGraphic("Unknown picture file extension (." + LowerCase(extension) + ")");
  TFileStream stream(FileName, fmOpenRead);
  // The program writes bitmap data under any name (a texture saved as
  // ".jpg" is still a BMP file), so such a file is read back as a bitmap.
  uint8_t signature[2] = {};
  if (stream.Read(signature, 2) == 2 && signature[0] == 'B' && signature[1] == 'M')
    format = FindFileFormat("bmp");
  stream.SetPosition(0);
  std::unique_ptr<TGraphic> graphic = format->Create();
  graphic->LoadFromStream(stream);
  graphic_ = std::move(graphic);
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (graphic_) graphic_->SaveToFile(FileName);
}

TBitmap* TPicture::Bitmap() {
  if (dynamic_cast<TBitmap*>(graphic_.get()) == nullptr) graphic_ = std::make_unique<TBitmap>();
  return static_cast<TBitmap*>(graphic_.get());
}

void TPicture::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    graphic_.reset();
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
    Bitmap()->Assign(bitmap);
  } else if (auto* picture = dynamic_cast<TPicture*>(Source);
             picture != nullptr && dynamic_cast<TBitmap*>(picture->Graphic()) != nullptr) {
    if (picture != this) Bitmap()->Assign(picture->Graphic());
  } else {
    TPersistent::Assign(Source);
  }
}
