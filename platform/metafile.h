#pragma once

#include "platform/graphic.h"
#include "platform/memory_block.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TMetafileHeader;

// An enhanced metafile (.emf) or a Windows metafile (.wmf, placeable or
// plain). Its size is that of its header's frame (the enhanced frame, the
// placeable box at its units per inch, or else the first window the file
// sets) at 96 pixels per inch. It draws its shapes over what is on the
// canvas, aliased; text, bitmaps and clipping are not drawn.
class TMetafile : public TGraphic {
public:
  TMetafile();
  ~TMetafile() override;

  const char* ClassName() const override { return "TMetafile"; }

  int32_t Width() const override;
  int32_t Height() const override;
  bool Enhanced() const;

  // Drawn with its frame scaled onto Rect.
  void Draw(TCanvas& Canvas, const TRect& Rect) override;
  bool PaintsOnlyWhatItCovers() const override { return true; }

  // Tells the kinds apart by their content. Every record is checked here,
  // so a file that loads draws without failing; anything malformed raises
  // EInvalidGraphic and the metafile keeps what it held.
  void LoadFromStream(TStream& Stream) override;
  // Writes the file's bytes as they were loaded.
  void SaveToStream(TStream& Stream) override;

private:
  TByteBuffer data_;
  std::unique_ptr<TMetafileHeader> header_;
};
