#pragma once

// The image view: shows the TBitmap32 it owns at the bitmap's own size,
// aligned in the view and clipped, on the view colour wherever the bitmap
// does not cover it; alpha has no effect on the display. Painting goes
// through an off-screen TBitmap32 of the view's size, copied to the screen in
// one operation and rebuilt only after the bitmap signals a change (OnChange,
// OnResize), after NotifyViewChanged, or when the view changes size. Repaints
// are deferred to the event loop, so a handler that changes the bitmap
// several times shows only the final state.

#include "platform/colors.h"
#include "platform/object.h"
#include "raster/bitmap32.h"

#include <QWidget>

#include <memory>

enum TBitmapAlign : uint8_t { baTopLeft, baCenter };

class TImage32 : public QWidget, public TObject {
public:
  explicit TImage32(QWidget* Parent);
  ~TImage32() override;
  const char* ClassName() const override { return "TImage32"; }

  TBitmap32* Bitmap() const { return bitmap_.get(); }

  // Schedules a repaint from the bitmap as it is now; pixel writes that
  // signal nothing become visible only after this call.
  void NotifyViewChanged();

  TBitmapAlign BitmapAlign() const { return bitmapAlign_; }
  void SetBitmapAlign(TBitmapAlign Value);
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  void SetHint(const std::string& Hint);

  // Where the bitmap's top-left pixel lies in the view.
  QPoint BitmapOffset() const;

  TNotifyEvent OnDblClick;

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;

private:
  void Invalidate();
  void RebuildBuffer();
  void DrawFocusRect();

  std::unique_ptr<TBitmap32> bitmap_;
  TBitmap32 buffer_;
  bool bufferValid_ = false;
  TBitmapAlign bitmapAlign_ = baCenter;
  TColor color_ = clBlack;
};
