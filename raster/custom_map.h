#pragma once

#include "raster/thread_persistent.h"

#include <cstdint>

// Something with a width and a height that changes only through
// SetDimensions. A real size change replaces the storage, then notifies
// OnChange and OnResize, in that order.
class TCustomMap : public TThreadPersistent {
public:
  const char* ClassName() const override { return "TCustomMap"; }

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  // Negative sizes count as 0. Returns false, and does nothing at all, when
  // the size is already the one asked for.
  virtual bool SetDimensions(int32_t NewWidth, int32_t NewHeight);
  virtual bool IsEmpty() const { return width_ == 0 || height_ == 0; }
  virtual void MakeEmpty() { SetDimensions(0, 0); }
  virtual void NotifyResized();

  TNotifyEvent OnResize;

protected:
  virtual void ResizeStorage(int32_t& Width, int32_t& Height, int32_t NewWidth, int32_t NewHeight);

private:
  int32_t height_ = 0;
  int32_t width_ = 0;
};
