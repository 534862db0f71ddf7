#pragma once

// The standard controls of a form, each a thin layer over its Qt widget with
// the form framework's names: bounds as Left, Top, Width, Height, captions,
// platform colours and fonts, and events as callbacks that run guarded.

#include "platform/colors.h"
#include "platform/object.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <string>

// A key press as a character: Key may be changed, and set to 0 to swallow it.
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

template <class TClass>
TNotifyEvent MethodEvent(TClass* Self, void (TClass::*Method)(TObject*)) {
  return [Self, Method](TObject* Sender) { (Self->*Method)(Sender); };
}

template <class TClass>
TKeyPressEvent MethodEvent(TClass* Self, void (TClass::*Method)(TObject*, char&)) {
  return [Self, Method](TObject* Sender, char& Key) { (Self->*Method)(Sender, Key); };
}

QColor ToQColor(TColor Color);

// A font of the given family; a negative Height is a pixel size, a positive
// one a point size.
QFont PlatformFont(const char* Family, int Height, bool Bold = false);

// Gives a widget a background colour of its own.
void SetControlColor(QWidget* Control, TColor Color);

// Names a widget the way the form does (also its QObject name) and places it.
void PlaceControl(QWidget* Control, const char* Name, int Left, int Top, int Width, int Height);

class TButton;

// A top-level form. Enter that no focused control takes clicks the default
// button.
class TForm : public QWidget, public TObject {
public:
  explicit TForm(QWidget* Parent = nullptr);
  const char* ClassName() const override { return "TForm"; }

  // Runs OnCreate, guarded, once the form is fully built (the application
  // object calls it right after construction).
  void AfterConstruction();
  TNotifyEvent OnCreate;

  // Left and Top of the frame; Width and Height of the client area.
  void SetBounds(int Left, int Top, int ClientWidth, int ClientHeight);
  void SetCaption(const std::string& Caption);
  void Close() { close(); }

  void SetDefaultButton(TButton* Button) { defaultButton_ = Button; }
  TButton* DefaultButton() const { return defaultButton_; }

protected:
  void keyPressEvent(QKeyEvent* Event) override;

private:
  TButton* defaultButton_ = nullptr;
};

// A panel with a raised one-pixel bevel.
class TPanel : public QFrame, public TObject {
public:
  explicit TPanel(QWidget* Parent);
  const char* ClassName() const override { return "TPanel"; }
};

class TLabel : public QLabel, public TObject {
public:
  explicit TLabel(QWidget* Parent);
  const char* ClassName() const override { return "TLabel"; }
};

// A push button: Enter or Space while it has the focus clicks it.
class TButton : public QPushButton, public TObject {
public:
  explicit TButton(QWidget* Parent);
  const char* ClassName() const override { return "TButton"; }

  TNotifyEvent OnClick;
  TKeyPressEvent OnKeyPress;

protected:
  void keyPressEvent(QKeyEvent* Event) override;
};

class TEdit : public QLineEdit, public TObject {
public:
  explicit TEdit(QWidget* Parent);
  const char* ClassName() const override { return "TEdit"; }

  TKeyPressEvent OnKeyPress;

protected:
  void keyPressEvent(QKeyEvent* Event) override;
};

// Runs OnKeyPress for a key event, guarded; returns true when the handler
// swallowed the key.
bool DispatchKeyPress(const TKeyPressEvent& OnKeyPress, TObject* Sender, QKeyEvent* Event);
