#include "platform/ui/controls.h"

#include "platform/ui/application.h"

#include <QKeyEvent>
#include <QPalette>

QColor ToQColor(TColor Color) {
  const uint32_t bgr = Color < 0 ? GetSysColor(Color & 0xFF) : uint32_t(Color);
  return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QFont PlatformFont(const char* Family, int Height, bool Bold) {
  QFont font(QString::fromLatin1(Family));
  if (Height < 0)
    font.setPixelSize(-Height);
  else
    font.setPointSize(Height);
  font.setBold(Bold);
  return font;
}

void SetControlColor(QWidget* Control, TColor Color) {
  QPalette palette = Control->palette();
  palette.setColor(QPalette::Window, ToQColor(Color));
  palette.setColor(QPalette::Base, ToQColor(Color));
  palette.setColor(QPalette::Button, ToQColor(Color));
  Control->setPalette(palette);
  Control->setAutoFillBackground(true);
}

void PlaceControl(QWidget* Control, const char* Name, int Left, int Top, int Width, int Height) {
  Control->setObjectName(QString::fromLatin1(Name));
  Control->setGeometry(Left, Top, Width, Height);
}

namespace {

// The character a key press produces, as the form framework passes it on:
// Escape 27, Enter 13, else the first character of the text; 0 for none.
char KeyChar(const QKeyEvent* Event) {
  switch (Event->key()) {
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Backspace:
      return 8;
    default:
      break;
  }
  const QString text = Event->text();
  if (text.size() != 1 || text[0].unicode() > 0x7F) return 0;
  return static_cast<char>(text[0].unicode());
}

bool IsEnter(const QKeyEvent* Event) {
  return Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter;
}

}  // namespace

bool DispatchKeyPress(const TKeyPressEvent& OnKeyPress, TObject* Sender, QKeyEvent* Event) {
  char key = KeyChar(Event);
  if (!OnKeyPress || key == 0) return false;
  RunGuarded([&] { OnKeyPress(Sender, key); });
  return key == 0;
}

TForm::TForm(QWidget* Parent) : QWidget(Parent) {}

void TForm::AfterConstruction() {
  if (OnCreate) RunGuarded([this] { OnCreate(this); });
}

void TForm::SetBounds(int Left, int Top, int ClientWidth, int ClientHeight) {
  move(Left, Top);
  resize(ClientWidth, ClientHeight);
}

void TForm::SetCaption(const std::string& Caption) {
  setWindowTitle(QString::fromStdString(Caption));
}

void TForm::keyPressEvent(QKeyEvent* Event) {
  if (IsEnter(Event) && defaultButton_ != nullptr && defaultButton_->isEnabled() &&
      defaultButton_->isVisibleTo(this)) {
    defaultButton_->click();
    return;
  }
  QWidget::keyPressEvent(Event);
}

TPanel::TPanel(QWidget* Parent) : QFrame(Parent) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
}

TLabel::TLabel(QWidget* Parent) : QLabel(Parent) {}

TButton::TButton(QWidget* Parent) : QPushButton(Parent) {
  // Outside a dialog Qt buttons ignore Enter; these take it, like Space.
  setAutoDefault(true);
  connect(this, &QPushButton::clicked, this, [this] {
    if (OnClick) RunGuarded([this] { OnClick(this); });
  });
}

void TButton::keyPressEvent(QKeyEvent* Event) {
  if (DispatchKeyPress(OnKeyPress, this, Event)) return;
  QPushButton::keyPressEvent(Event);
}

TEdit::TEdit(QWidget* Parent) : QLineEdit(Parent) {}

void TEdit::keyPressEvent(QKeyEvent* Event) {
  if (DispatchKeyPress(OnKeyPress, this, Event)) return;
  QLineEdit::keyPressEvent(Event);
}
