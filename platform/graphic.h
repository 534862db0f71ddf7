#pragma once

#include "platform/persistent.h"
#include "platform/rect.h"
#include "platform/streams.h"

#include <cstdint>
#include <string>

class TCanvas;

// A picture of some kind: a size and the ability to draw itself into a
// rectangle of a canvas. Readers fill a graphic from a stream; a reader
// that fails leaves the graphic as it was.
class TGraphic : public TPersistent {
public:
  const char* ClassName() const override { return "TGraphic"; }

  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual bool Empty() const { return Width() <= 0 || Height() <= 0; }

  // Draws the whole picture scaled into Rect.
  virtual void Draw(TCanvas& Canvas, const TRect& Rect) = 0;

  // Icons and metafiles paint only the pixels they cover and leave the
  // canvas alone elsewhere; a converter finds out which pixels those are by
  // drawing such a graphic over two different backgrounds.
  virtual bool PaintsOnlyWhatItCovers() const { return false; }

  // True for graphics whose drawing gives every pixel of the rectangle an
  // opaque colour (a decoded photograph), so nothing needs making opaque.
  virtual bool DrawsOpaque() const { return false; }

  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) = 0;
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);
};
