#pragma once

#include "platform/graphic.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBitmap;

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// One kind of picture file the loader can read: its extension (without the
// dot), the description open dialogs show, and how to make the graphic.
struct TFileFormat {
  std::string Extension;
  std::string Description;
  TGraphicFactory Create;
};

// A container that loads a picture file by its extension and holds one
// graphic of the matching kind.
class TPicture : public TPersistent {
public:
  TPicture();
  ~TPicture() override;

  const char* ClassName() const override { return "TPicture"; }

  // Chooses the reader by FileName's extension, matched case-insensitively,
  // and holds what it read; a file of a known extension that holds bitmap
  // data (signature "BM") is read as a bitmap. Raises EInvalidGraphic for an extension without
  // a reader, EFOpenError for a file that cannot be opened, or the reader's
  // error; the picture keeps its graphic then.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> Graphic) { graphic_ = std::move(Graphic); }

  int32_t Width() const { return graphic_ ? graphic_->Width() : 0; }
  int32_t Height() const { return graphic_ ? graphic_->Height() : 0; }

  // Makes the picture hold a platform bitmap (an empty one unless it held a
  // bitmap already) and returns it.
  TBitmap* Bitmap();

  // Null empties the picture; a platform bitmap, or a picture holding one,
  // is copied into this picture's bitmap; other sources are asked to
  // assign themselves.
  void Assign(TPersistent* Source) override;

  // Adds a reader; a later registration for the same extension replaces
  // the earlier one.
  static void RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                 TGraphicFactory Create);
  template <class G>
  static bool RegisterFileFormat(const std::string& Extension, const std::string& Description) {
    RegisterFileFormat(Extension, Description, [] { return std::make_unique<G>(); });
    return true;
  }
  // Every registered format, in the order of registration.
  static std::vector<TFileFormat> FileFormats();
  static const TFileFormat* FindFileFormat(const std::string& Extension);

private:
  std::unique_ptr<TGraphic> graphic_;
};
