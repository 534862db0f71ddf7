#pragma once

// The open and save picture dialogs: file dialogs whose filter is given in
// the form framework's "|"-separated form (description|patterns|...), whose
// first entry is selected, and which show a preview of the selected picture
// read with the program's own picture loader.

#include "platform/object.h"

#include <QFileDialog>
#include <QImage>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct TFilterEntry {
  std::string Description;
  std::vector<std::string> Patterns;
};

// Splits "desc|pat;pat|desc|pat" into its entries; a trailing description
// without patterns is dropped.
std::vector<TFilterEntry> ParseFilter(const std::string& Filter);

// The picture in FileName scaled down to fit Box, or a null image when the
// file cannot be read as a picture.
QImage PicturePreview(const std::string& FileName, QSize Box);

class TPictureDialog : public TObject {
public:
  virtual ~TPictureDialog() = default;

  std::string Filter;
  std::string FileName;
  // The chosen filter entry, counted from 1.
  int FilterIndex = 1;

  // Shows the dialog; true with FileName set when the user chose a file.
  bool Execute(QWidget* Parent = nullptr);

  // Builds the dialog Execute shows, without showing it.
  std::unique_ptr<QFileDialog> CreateDialog(QWidget* Parent = nullptr) const;

  // Replaces the user's answer (tests): when set, Execute shows nothing and
  // takes the file name it returns, or a cancel for none.
  std::function<std::optional<std::string>()> Answer;

protected:
  virtual QFileDialog::AcceptMode Mode() const = 0;
};

class TOpenPictureDialog : public TPictureDialog {
public:
  const char* ClassName() const override { return "TOpenPictureDialog"; }

protected:
  QFileDialog::AcceptMode Mode() const override { return QFileDialog::AcceptOpen; }
};

class TSavePictureDialog : public TPictureDialog {
public:
  const char* ClassName() const override { return "TSavePictureDialog"; }

protected:
  QFileDialog::AcceptMode Mode() const override { return QFileDialog::AcceptSave; }
};
