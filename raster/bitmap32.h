#pragma once

#include "platform/canvas.h"
#include "raster/color.h"
#include "raster/custom_map.h"
#include "raster/pixel_storage.h"

#include <cstdint>
#include <memory>
#include <string>

class TBitmap;
class TGraphic;

// A Width x Height array of TColor32 in one block, top row first, row stride
// exactly Width. A real size change discards the pixels: fresh storage reads 0
// everywhere. Event order of a size change: OnHandleChanged, OnChange (unless
// an update bracket is open), OnResize.
class TBitmap32 : public TCustomMap {
public:
  TBitmap32();
  ~TBitmap32() override;

  const char* ClassName() const override { return "TBitmap32"; }

  // Makes this bitmap a copy of Source: size, every pixel with its alpha, and
  // DrawMode, MasterAlpha, OuterColor and StretchFilter. OnChange fires once,
  // at the end, whatever happened inside.
  void Assign(TPersistent* Source) override;

  // The streamed form: the binary property "Data", stored unless the
  // ancestor is a bitmap of the same content, or, without an ancestor,
  // unless this bitmap is empty (convert.cpp).
  void DefineProperties(TFiler* Filer) override;
  // Width and Height as signed 32-bit little-endian values, then the pixels
  // in storage order. Reading notifies once, also when it fails.
  virtual void ReadPixelData(TStream& Stream);
  virtual void WritePixelData(TStream& Stream);
  // Whether Other has the same content: both empty, or of the same class
  // with the same size and pixels.
  bool SameContent(TBitmap32* Other);

  bool IsEmpty() const override;
  void MakeEmpty() override { SetDimensions(0, 0); }

  TRect FullRect() const { return RectOf(0, 0, Width(), Height()); }
  const TRect& ClipArea() const { return clipArea_; }

  TColor32* PixelData() const { return storage_.Data(); }
  // Unchecked: the caller keeps 0 <= X < Width and 0 <= Y < Height.
  TColor32* RowAddress(int32_t Y) const { return PixelData() + ptrdiff_t(Y) * Width(); }
  TColor32* PixelAddress(int32_t X, int32_t Y) const { return RowAddress(Y) + X; }

  void FillAll(TColor32 Color);
  // Fills X1 <= x < X2, Y1 <= y < Y2 inside ClipArea.
  void FillArea(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Color);
  void SetAllAlpha(uint8_t Value);
  void MakeOpaque() { SetAllAlpha(255); }

  virtual void NotifyHandleChanged();

  // The canvas on the pixel storage, created on first use; it is dropped
  // whenever the storage is replaced, so it must not be kept across a size
  // change. Its drawing notifies this bitmap.
  TCanvas* EnsureCanvas();

  // Puts one pixel through the routine of this bitmap's CombineMode; no
  // bounds check and no change notification (blend_store.cpp).
  void StorePixel(int32_t X, int32_t Y, TColor32 Value);

  // Draws this bitmap, with its own DrawMode, StretchFilter and
  // OnPixelCombine, scaled into DstRect of Dst, then notifies Dst (stretch.cpp).
  void DrawInto(TBitmap32* Dst, const TRect& DstRect);

  // Picture files (convert.cpp): reading replaces size and content with the
  // picture in the file; writing always writes 32-bit BMP data.
  void ReadPictureFile(const std::string& FileName);
  void WritePictureFile(const std::string& FileName);

  TDrawMode DrawMode() const { return drawMode_; }
  void SetDrawMode(TDrawMode Value);
  TCombineMode CombineMode() const { return combineMode_; }
  void SetCombineMode(TCombineMode Value);
  uint32_t MasterAlpha() const { return masterAlpha_; }
  void SetMasterAlpha(uint32_t Value);
  TColor32 OuterColor() const { return outerColor_; }
  void SetOuterColor(TColor32 Value) { outerColor_ = Value; }
  TStretchFilter StretchFilter() const { return stretchFilter_; }
  void SetStretchFilter(TStretchFilter Value);

  TNotifyEvent OnHandleChanged;
  TPixelCombineEvent OnPixelCombine;

protected:
  // Gives the pixels to a picture (as its bitmap) or a platform bitmap,
  // which becomes 32 bits per pixel with every byte unchanged.
  void AssignTo(TPersistent* Dest) override;
  void ResizeStorage(int32_t& Width, int32_t& Height, int32_t NewWidth, int32_t NewHeight) override;

private:
  void ResetClipArea() { clipArea_ = FullRect(); }
  TCanvasSurface Surface() const { return {PixelData(), Width(), Height()}; }
  void DropCanvas();

  // The picture cases of Assign (convert.cpp); false for a source of
  // another kind.
  bool AssignPicture(TPersistent* Source);
  void AssignPlatformBitmap(TBitmap& Source);
  void AssignDrawnGraphic(TGraphic& Source, int32_t Width, int32_t Height);
  void AssignOverTwoBackgrounds(TGraphic& Source, int32_t Width, int32_t Height);
  void CopyToPlatformBitmap(TBitmap& Dest) const;

  TPixelStorage storage_;
  std::unique_ptr<TCanvas> surfaceCanvas_;
  TRect clipArea_;
  TDrawMode drawMode_ = dmOpaque;
  uint32_t masterAlpha_ = 255;
  TColor32 outerColor_ = 0;
  TStretchFilter stretchFilter_ = sfNearest;
  TCombineMode combineMode_ = cmBlend;
};

// Check of the filter operations: Src first ("The source is nil"), then Dst
// ("Destination is nil"); then Dst takes Src's size.
void CheckFilterArgs(TBitmap32* Dst, TBitmap32* Src);
