#include "platform/metafile.h"

#include "platform/file_stream.h"
#include "platform/metafile_format.h"
#include "platform/metafile_player.h"
#include "platform/picture.h"

namespace {

const char* const kKind = "Metafile";

}  // namespace

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

int32_t TMetafile::Width() const { return header_ ? header_->Width : 0; }
int32_t TMetafile::Height() const { return header_ ? header_->Height : 0; }
bool TMetafile::Enhanced() const { return header_ == nullptr || header_->Enhanced; }

void TMetafile::LoadFromStream(TStream& Stream) {
  TByteBuffer data = ReadRemainingBytes(Stream);
  const TByteView file(data.Data(), data.Size, kKind);
  auto header = std::make_unique<TMetafileHeader>();
  TGdiSink check;
  if (file.Size() == 0) file.Fail("the file is empty");
  if (IsEmf(file)) {
    *header = ReadEmfHeader(file);
    PlayEmf(file, *header, check);
  } else {
    *header = ReadWmfHeader(file);
    PlayWmf(file, *header, check);
  }
  data_ = std::move(data);
  header_ = std::move(header);
}

void TMetafile::SaveToStream(TStream& Stream) {
  Stream.WriteBuffer(data_.Data(), int64_t(data_.Size));
}

void TMetafile::Draw(TCanvas& Canvas, const TRect& Rect) {
  if (Empty()) return;
  PaintMetafile(TByteView(data_.Data(), data_.Size, kKind), *header_, Canvas.Handle(), Rect);
  Canvas.Changed();
}

// Makes the readers known to the picture loader before the program's entry
// runs. The linker keeps this file for the symbol below (see CMakeLists.txt).
extern "C" const bool QuorvaneMetafileReaderRegistered =
    TPicture::RegisterFileFormat<TMetafile>("emf", "Enhanced Metafiles") &&
    TPicture::RegisterFileFormat<TMetafile>("wmf", "Metafiles");
