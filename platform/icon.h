#pragma once

#include "platform/graphic.h"
#include "platform/memory_block.h"

#include <cstdint>
#include <vector>

// An icon file (.ico) with bitmap or PNG entries. The picture is the file's
// largest entry, the deepest among equals. It draws itself over what is on
// the canvas, as icons do: where the AND mask is set the background stays
// (XORed with the entry's colour, which is black in ordinary icons), and
// entries with an alpha channel are blended onto the background.
class TIcon : public TGraphic {
public:
  TIcon();
  ~TIcon() override;

  const char* ClassName() const override { return "TIcon"; }

  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  // Bits per pixel of the chosen entry; 32 for a PNG entry.
  int BitCount() const { return bitCount_; }

  // Drawn scaled into Rect by nearest pixel.
  void Draw(TCanvas& Canvas, const TRect& Rect) override;
  bool PaintsOnlyWhatItCovers() const override { return true; }

  // Raises EInvalidGraphic for anything but a well-formed icon file; the
  // icon keeps what it held then.
  void LoadFromStream(TStream& Stream) override;
  // Writes the file's bytes as they were loaded.
  void SaveToStream(TStream& Stream) override;

private:
  TByteBuffer data_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int bitCount_ = 0;
  bool alpha_ = false;
  std::vector<uint32_t> pixels_;
  std::vector<uint8_t> mask_;
};
