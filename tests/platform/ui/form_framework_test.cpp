#include "platform/exceptions.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/picture_dialogs.h"
#include "raster/bitmap32.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <stdexcept>

namespace {

const char* const kOpenFilter =
    "Alle (*.tga;*.jpg;*.jpeg;*.bmp)|*.tga;*.jpg;*.jpeg;*.bmp;*.emf;*.wmf|Targa (*.tga)|*.tga|"
    "JPEG-Grafikdatei (*.jpg)|*.jpg|JPEG-Grafikdatei (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";

QStringList ComboItems(QFileDialog& Dialog) {
  auto* combo = Dialog.findChild<QComboBox*>("fileTypeCombo");
  if (combo == nullptr) return {"no combo"};
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

}  // namespace

class FormFrameworkTest : public QObject {
  Q_OBJECT

  int argc = 0;
  std::unique_ptr<TApplication> application;
  QStringList reports;
  QTemporaryDir dir;

  QString WritePicture(const char* Name, int32_t Width, int32_t Height, TColor32 Color) {
    TBitmap32 picture;
    picture.SetDimensions(Width, Height);
    picture.FillAll(Color);
    const QString path = dir.filePath(Name);
    picture.WritePictureFile(path.toStdString());
    return path;
  }

private slots:
  void init() {
    application = std::make_unique<TApplication>(argc, nullptr);
    reports.clear();
    application->OnException = [this](const std::string& m) {
      reports << QString::fromStdString(m);
    };
  }
  void cleanup() { application.reset(); }

  void reportsEveryKindOfException() {
    RunGuarded([] { throw Exception("Destination is nil"); });
    RunGuarded([] { throw std::runtime_error("plain error"); });
    RunGuarded([] { throw 42; });
    RunGuarded([] {});
    QCOMPARE(reports, (QStringList{"Destination is nil", "plain error", "Unknown error"}));
  }

  // Without a handler of its own the report is one message box with the
  // message; the program goes on once it is dismissed.
  void reportShowsAMessageBox() {
    application->OnException = nullptr;
    QString shown;
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        shown = box->text();
        box->accept();
      }
    });
    RunGuarded([] { throw Exception("JPEG-Fehler #42"); });
    QCOMPARE(shown, QString("JPEG-Fehler #42"));
  }

  // A throwing click handler is reported and the button keeps working.
  void buttonHandlersRunGuarded() {
    TForm form;
    auto* button = new TButton(&form);
    int clicks = 0;
    button->OnClick = [&](TObject*) {
      if (++clicks == 1) throw Exception("first click fails");
    };
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks, 2);
    QCOMPARE(reports, QStringList{"first click fails"});
  }

  void formCreateRunsAfterConstructionGuarded() {
    struct TTestForm : TForm {
      TTestForm() {
        OnCreate = [](TObject*) { throw Exception("start-up failed"); };
      }
    };
    TTestForm* form = nullptr;
    application->CreateForm(form);
    QVERIFY(form != nullptr);
    QCOMPARE(application->MainForm(), static_cast<TForm*>(form));
    QCOMPARE(reports, QStringList{"start-up failed"});
  }

  void keyPressCharacters_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("escape") << int(Qt::Key_Escape) << 27;
    QTest::newRow("return") << int(Qt::Key_Return) << 13;
    QTest::newRow("letter") << int(Qt::Key_A) << int('a');
  }

  void keyPressCharacters() {
    QFETCH(int, key);
    QFETCH(int, expected);
    TForm form;
    auto* edit = new TEdit(&form);
    int seen = -1;
    edit->OnKeyPress = [&](TObject*, char& Key) { seen = Key; };
    QTest::keyClick(edit, Qt::Key(key));
    QCOMPARE(seen, expected);
  }

  // Enter goes to a focused button itself, and from any control that does
  // not take it to the form's default button.
  void enterAndTheDefaultButton() {
    TForm form;
    auto* other = new TButton(&form);
    auto* byDefault = new TButton(&form);
    auto* edit = new TEdit(&form);
    form.SetDefaultButton(byDefault);
    QString clicked;
    other->OnClick = [&](TObject*) { clicked += "o"; };
    byDefault->OnClick = [&](TObject*) { clicked += "d"; };
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(clicked, QString("d"));
    QTest::keyClick(other, Qt::Key_Return);
    QCOMPARE(clicked, QString("do"));
    QTest::keyClick(byDefault, Qt::Key_Enter);
    QCOMPARE(clicked, QString("dod"));
  }

  void colours() {
    QCOMPARE(ToQColor(0x0080FF), QColor(255, 128, 0));
    QCOMPARE(ToQColor(clBtnFace), QColor(212, 208, 200));
  }

  void parseFilter() {
    const std::vector<TFilterEntry> entries = ParseFilter(kOpenFilter);
    QCOMPARE(entries.size(), size_t(5));
    QCOMPARE(entries[0].Description, std::string("Alle (*.tga;*.jpg;*.jpeg;*.bmp)"));
    QCOMPARE(entries[0].Patterns.size(), size_t(6));
    QCOMPARE(entries[0].Patterns[5], std::string("*.wmf"));
    QCOMPARE(entries[4].Description, std::string("Bitmaps (*.bmp)"));
    QVERIFY(ParseFilter("").empty());
    QCOMPARE(ParseFilter("Lone description").size(), size_t(0));
  }

  void dialogShowsDescriptionsUnchanged_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("descriptions");
    QTest::newRow("open") << false << QString(kOpenFilter)
                          << QStringList{"Alle (*.tga;*.jpg;*.jpeg;*.bmp)", "Targa (*.tga)",
                                         "JPEG-Grafikdatei (*.jpg)", "JPEG-Grafikdatei (*.jpeg)",
                                         "Bitmaps (*.bmp)"};
    QTest::newRow("save")
        << true
        << QString(
               "Alle (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|Bitmaps (*.bmp)|*.bmp|"
               "JPEG-Grafikdatei (*.jpg)|*.jpg|JPEG-Grafikdatei (*.jpeg)|*.jpeg")
        << QStringList{"Alle (*.jpg;*.jpeg;*.bmp)", "Bitmaps (*.bmp)", "JPEG-Grafikdatei (*.jpg)",
                       "JPEG-Grafikdatei (*.jpeg)"};
  }

  void dialogShowsDescriptionsUnchanged() {
    QFETCH(bool, save);
    QFETCH(QString, filter);
    QFETCH(QStringList, descriptions);
    TOpenPictureDialog open;
    TSavePictureDialog saveDialog;
    TPictureDialog& picked = save ? static_cast<TPictureDialog&>(saveDialog) : open;
    picked.Filter = filter.toStdString();
    const auto dialog = picked.CreateDialog();
    QCOMPARE(ComboItems(*dialog), descriptions);
    QCOMPARE(dialog->findChild<QComboBox*>("fileTypeCombo")->currentIndex(), 0);
    QCOMPARE(dialog->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  }

  void dialogPatternsFilterFiles() {
    TOpenPictureDialog open;
    open.Filter = kOpenFilter;
    const auto dialog = open.CreateDialog();
    QCOMPARE(dialog->nameFilters().front(),
             QString("Alle (*.tga;*.jpg;*.jpeg;*.bmp) (*.tga *.jpg *.jpeg *.bmp *.emf *.wmf)"));
  }

  void previewUsesTheProgramsLoader() {
    const QString small = WritePicture("small.bmp", 64, 32, 0xFF336699);
    const QImage shown = PicturePreview(small.toStdString(), QSize(160, 160));
    QCOMPARE(shown.size(), QSize(64, 32));
    QCOMPARE(QRgb(shown.pixel(10, 10)) & 0xFFFFFF, QRgb(0x336699));
    const QString wide = WritePicture("wide.bmp", 640, 320, 0xFF000000);
    QCOMPARE(PicturePreview(wide.toStdString(), QSize(160, 160)).size(), QSize(160, 80));
    QFile broken(dir.filePath("broken.jpg"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("no picture here");
    broken.close();
    QVERIFY(PicturePreview(broken.fileName().toStdString(), QSize(160, 160)).isNull());

    TOpenPictureDialog open;
    open.Filter = kOpenFilter;
    const auto dialog = open.CreateDialog();
    auto* preview = dialog->findChild<QLabel*>("PicturePreview");
    QVERIFY(preview != nullptr);
    emit dialog->currentChanged(small);
    QCOMPARE(preview->pixmap().size(), QSize(64, 32));
    emit dialog->currentChanged(broken.fileName());
    QVERIFY(preview->pixmap().isNull());
  }

  void answerSeamReplacesTheUser() {
    TOpenPictureDialog open;
    open.Answer = [] { return std::optional<std::string>("chosen.jpg"); };
    QVERIFY(open.Execute());
    QCOMPARE(open.FileName, std::string("chosen.jpg"));
    open.Answer = [] { return std::optional<std::string>(); };
    QVERIFY(!open.Execute());
    QCOMPARE(open.FileName, std::string("chosen.jpg"));
  }
};

QTEST_MAIN(FormFrameworkTest)
#include "form_framework_test.moc"
