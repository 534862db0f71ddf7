#include "raster/custom_map.h"

bool TCustomMap::SetDimensions(int32_t NewWidth, int32_t NewHeight) {
  if (NewWidth < 0) NewWidth = 0;
  if (NewHeight < 0) NewHeight = 0;
  if (NewWidth == width_ && NewHeight == height_) return false;
  ResizeStorage(width_, height_, NewWidth, NewHeight);
  NotifyChanged();
  NotifyResized();
  return true;
}

void TCustomMap::NotifyResized() {
  if (OnResize) OnResize(this);
}

void TCustomMap::ResizeStorage(int32_t& Width, int32_t& Height, int32_t NewWidth,
                               int32_t NewHeight) {
  Width = NewWidth;
  Height = NewHeight;
}
