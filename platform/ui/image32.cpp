#include "platform/ui/image32.h"

#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "raster/transfer.h"

#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Holds a bitmap's lock for one scope.
class TLockScope {
public:
  explicit TLockScope(TThreadPersistent& Object) : object_(Object) { object_.EnterLock(); }
  ~TLockScope() { object_.LeaveLock(); }
  TLockScope(const TLockScope&) = delete;
  TLockScope& operator=(const TLockScope&) = delete;

private:
  TThreadPersistent& object_;
};

}  // namespace

TImage32::TImage32(QWidget* Parent) : QWidget(Parent), bitmap_(std::make_unique<TBitmap32>()) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  bitmap_->OnChange = [this](TObject*) { Invalidate(); };
  bitmap_->OnResize = [this](TObject*) { Invalidate(); };
}

TImage32::~TImage32() {
  bitmap_->OnChange = nullptr;
  bitmap_->OnResize = nullptr;
}

void TImage32::NotifyViewChanged() { Invalidate(); }

void TImage32::SetBitmapAlign(TBitmapAlign Value) {
  bitmapAlign_ = Value;
  Invalidate();
}

void TImage32::SetColor(TColor Value) {
  color_ = Value;
  Invalidate();
}

void TImage32::SetHint(const std::string& Hint) { setToolTip(QString::fromStdString(Hint)); }

QPoint TImage32::BitmapOffset() const {
  if (bitmapAlign_ == baTopLeft) return {0, 0};
  // Integer division truncates toward zero: a 512-wide bitmap in a 269-wide
  // view starts at -121 (ImageViewTest::offsets).
  return {(width() - bitmap_->Width()) / 2, (height() - bitmap_->Height()) / 2};
}

void TImage32::Invalidate() {
  bufferValid_ = false;
  update();
}

void TImage32::RebuildBuffer() {
  buffer_.SetDimensions(width(), height());
  buffer_.FillAll(WinColorToColor32(color_));
  if (!buffer_.IsEmpty() && !bitmap_->IsEmpty()) {
    const QPoint offset = BitmapOffset();
    TLockScope lock(*bitmap_);
    TransferBlock(&buffer_, offset.x(), offset.y(), buffer_.FullRect(), bitmap_.get(),
                  bitmap_->FullRect(), dmOpaque);
  }
  if (hasFocus()) DrawFocusRect();
  bufferValid_ = true;
}

// A dotted rectangle along the view's edge that inverts every other pixel,
// so it shows on any picture.
void TImage32::DrawFocusRect() {
  if (buffer_.IsEmpty()) return;
  const int32_t w = buffer_.Width();
  const int32_t h = buffer_.Height();
  auto invert = [&](int32_t x, int32_t y) {
    if ((x + y) % 2 == 0) *buffer_.PixelAddress(x, y) ^= 0x00FFFFFFu;
  };
  for (int32_t x = 0; x < w; ++x) {
    invert(x, 0);
    if (h > 1) invert(x, h - 1);
  }
  for (int32_t y = 1; y < h - 1; ++y) {
    invert(0, y);
    if (w > 1) invert(w - 1, y);
  }
}

void TImage32::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  TLockScope lock(buffer_);
  try {
    if (!bufferValid_ || buffer_.Width() != width() || buffer_.Height() != height())
      RebuildBuffer();
  } catch (...) {
    // A buffer that cannot be had (out of memory) shows as the bare view;
    // a message box here would only bring the next failing repaint.
    bufferValid_ = false;
    painter.fillRect(rect(), ToQColor(color_));
    return;
  }
  if (buffer_.IsEmpty()) return;
  // RGB32 ignores the alpha byte: only red, green and blue are shown.
  const QImage frame(reinterpret_cast<const uchar*>(buffer_.PixelData()), buffer_.Width(),
                     buffer_.Height(), buffer_.Width() * 4, QImage::Format_RGB32);
  painter.drawImage(0, 0, frame);
}

void TImage32::mouseDoubleClickEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::LeftButton && OnDblClick) RunGuarded([this] { OnDblClick(this); });
}

void TImage32::focusInEvent(QFocusEvent* Event) {
  Invalidate();
  QWidget::focusInEvent(Event);
}

void TImage32::focusOutEvent(QFocusEvent* Event) {
  Invalidate();
  QWidget::focusOutEvent(Event);
}
