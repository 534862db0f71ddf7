#include "platform/ui/picture_dialogs.h"

#include "raster/bitmap32.h"

#include <QGridLayout>
#include <QLabel>

namespace {

constexpr QSize kPreviewBox(160, 160);

std::vector<std::string> Split(const std::string& Text, char Separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = Text.find(Separator, start);
    parts.push_back(Text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

// Qt takes the patterns from the last parenthesised group, separated by
// blanks, and with HideNameFilterDetails shows only what precedes it, so the
// description appears exactly as written.
QString QtNameFilter(const TFilterEntry& Entry) {
  QStringList patterns;
  for (const std::string& p : Entry.Patterns) patterns << QString::fromStdString(p);
  return QString::fromStdString(Entry.Description) + " (" + patterns.join(' ') + ")";
}

void ShowPreview(QLabel* Preview, const QString& Path) {
  const QImage picture = PicturePreview(Path.toStdString(), kPreviewBox);
  if (picture.isNull())
    Preview->clear();
  else
    Preview->setPixmap(QPixmap::fromImage(picture));
}

}  // namespace

std::vector<TFilterEntry> ParseFilter(const std::string& Filter) {
  std::vector<TFilterEntry> entries;
  if (Filter.empty()) return entries;
  const std::vector<std::string> parts = Split(Filter, '|');
  for (size_t i = 0; i + 1 < parts.size(); i += 2)
    entries.push_back({parts[i], Split(parts[i + 1], ';')});
  return entries;
}

QImage PicturePreview(const std::string& FileName, QSize Box) {
  try {
    TBitmap32 picture;
    picture.ReadPictureFile(FileName);
    if (picture.IsEmpty()) return {};
    const QImage view(reinterpret_cast<const uchar*>(picture.PixelData()), picture.Width(),
                      picture.Height(), picture.Width() * 4, QImage::Format_RGB32);
    if (picture.Width() <= Box.width() && picture.Height() <= Box.height()) return view.copy();
    return view.scaled(Box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  } catch (...) {
    // Anything that is not a readable picture simply has no preview.
    return {};
  }
}

std::unique_ptr<QFileDialog> TPictureDialog::CreateDialog(QWidget* Parent) const {
  auto dialog = std::make_unique<QFileDialog>(Parent);
  // Qt's own dialog, since a native one cannot hold the preview.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setOption(QFileDialog::HideNameFilterDetails);
  dialog->setAcceptMode(Mode());
  dialog->setFileMode(Mode() == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
  QStringList filters;
  for (const TFilterEntry& entry : ParseFilter(Filter)) filters << QtNameFilter(entry);
  if (!filters.isEmpty()) {
    dialog->setNameFilters(filters);
    dialog->selectNameFilter(filters.value(FilterIndex - 1, filters.front()));
  }
  if (!FileName.empty()) dialog->selectFile(QString::fromStdString(FileName));

  auto* preview = new QLabel(dialog.get());
  preview->setObjectName("PicturePreview");
  preview->setFixedSize(kPreviewBox);
  preview->setAlignment(Qt::AlignCenter);
  preview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout()))
    grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1, Qt::AlignTop);
  QObject::connect(dialog.get(), &QFileDialog::currentChanged, preview,
                   [preview](const QString& Path) { ShowPreview(preview, Path); });
  return dialog;
}

bool TPictureDialog::Execute(QWidget* Parent) {
  if (Answer) {
    const std::optional<std::string> answer = Answer();
    if (!answer) return false;
    FileName = *answer;
    return true;
  }
  const std::unique_ptr<QFileDialog> dialog = CreateDialog(Parent);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return false;
  FileName = dialog->selectedFiles().front().toStdString();
  // With the details hidden, Qt names the chosen filter by its description.
  const std::vector<TFilterEntry> entries = ParseFilter(Filter);
  const std::string chosen = dialog->selectedNameFilter().toStdString();
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].Description == chosen) FilterIndex = int(i) + 1;
  return true;
}
