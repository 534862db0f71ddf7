#include "raster/bitmap32.h"

#include "platform/exceptions.h"

#include <algorithm>
#include <cstring>

TBitmap32::TBitmap32() {
  SetCombineMode(cmBlend);
}

TBitmap32::~TBitmap32() {
  StartUpdate();
  EnterLock();
  DropCanvas();
  try {
    SetDimensions(0, 0);
  } catch (...) {
    // A destructor cannot pass on what an OnResize handler raised.
  }
  LeaveLock();
}

bool TBitmap32::IsEmpty() const {
  return PixelData() == nullptr || TCustomMap::IsEmpty();
}

void TBitmap32::ResizeStorage(int32_t& Width, int32_t& Height, int32_t NewWidth,
                              int32_t NewHeight) {
  DropCanvas();
  storage_.Release();
  Width = 0;
  Height = 0;
  try {
    if (NewWidth > 0 && NewHeight > 0 && !storage_.Allocate(NewWidth, NewHeight))
      throw Exception("Can't allocate the DIB handle");
  } catch (...) {
    NotifyHandleChanged();
    throw;
  }
  Width = NewWidth;
  Height = NewHeight;
  ResetClipArea();
  NotifyHandleChanged();
}

void TBitmap32::NotifyHandleChanged() {
  if (surfaceCanvas_) surfaceCanvas_->SetHandle(Surface());
  if (OnHandleChanged) OnHandleChanged(this);
}

TCanvas* TBitmap32::EnsureCanvas() {
  if (!surfaceCanvas_) {
    surfaceCanvas_ = std::make_unique<TCanvas>();
    surfaceCanvas_->SetHandle(Surface());
    surfaceCanvas_->OnChange = [this](TObject*) { NotifyChanged(); };
  }
  return surfaceCanvas_.get();
}

void TBitmap32::DropCanvas() {
  if (!surfaceCanvas_) return;
  surfaceCanvas_->SetHandle({});
  surfaceCanvas_.reset();
}

void TBitmap32::Assign(TPersistent* Source) {
  StartUpdate();
  try {
    if (Source == nullptr) {
      SetDimensions(0, 0);
    } else if (auto* src = dynamic_cast<TBitmap32*>(Source)) {
      SetDimensions(src->Width(), src->Height());
      if (!IsEmpty()) {
        if (src != this)
          std::memcpy(PixelData(), src->PixelData(),
                      size_t(Width()) * size_t(Height()) * sizeof(TColor32));
        drawMode_ = src->drawMode_;
        masterAlpha_ = src->masterAlpha_;
        outerColor_ = src->outerColor_;
        stretchFilter_ = src->stretchFilter_;
      }
    } else if (!AssignPicture(Source)) {
      TCustomMap::Assign(Source);
    }
  } catch (...) {
    EndUpdate();
    NotifyChanged();
    throw;
  }
  EndUpdate();
  NotifyChanged();
}

void TBitmap32::FillAll(TColor32 Color) {
  if (IsEmpty()) return;
  std::fill_n(PixelData(), size_t(Width()) * size_t(Height()), Color);
  NotifyChanged();
}

void TBitmap32::FillArea(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Color) {
  if (X1 >= X2 || Y1 >= Y2) return;
  const TRect& clip = clipArea_;
  if (X1 >= clip.Right || Y1 >= clip.Bottom || X2 <= clip.Left || Y2 <= clip.Top) return;
  // After a failed allocation ClipArea still holds the old rectangle while
  // there is no storage to fill.
  if (IsEmpty()) return;
  X1 = std::max(X1, clip.Left);
  Y1 = std::max(Y1, clip.Top);
  X2 = std::min(X2, clip.Right);
  Y2 = std::min(Y2, clip.Bottom);
  for (int32_t y = Y1; y < Y2; ++y) std::fill(PixelAddress(X1, y), PixelAddress(X2, y), Color);
  NotifyChanged();
}

void TBitmap32::SetAllAlpha(uint8_t Value) {
  if (!IsEmpty()) {
    auto* bytes = reinterpret_cast<uint8_t*>(PixelData());
    const size_t count = size_t(Width()) * size_t(Height());
    for (size_t i = 0; i < count; ++i) bytes[i * 4 + 3] = Value;
  }
  NotifyChanged();
}

void TBitmap32::SetDrawMode(TDrawMode Value) {
  if (drawMode_ == Value) return;
  drawMode_ = Value;
  NotifyChanged();
}

void TBitmap32::SetCombineMode(TCombineMode Value) {
  combineMode_ = Value;
  NotifyChanged();
}

void TBitmap32::SetMasterAlpha(uint32_t Value) {
  if (masterAlpha_ == Value) return;
  masterAlpha_ = Value;
  NotifyChanged();
}

void TBitmap32::SetStretchFilter(TStretchFilter Value) {
  if (stretchFilter_ == Value) return;
  stretchFilter_ = Value;
  NotifyChanged();
}

void CheckFilterArgs(TBitmap32* Dst, TBitmap32* Src) {
  if (Src == nullptr) throw Exception("The source is nil");
  if (Dst == nullptr) throw Exception("Destination is nil");
  Dst->SetDimensions(Src->Width(), Src->Height());
}
