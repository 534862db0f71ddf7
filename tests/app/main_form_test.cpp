#include "app/main_form.h"
#include "app/weightmap.h"
#include "platform/ui/application.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <optional>

namespace {

// Smooth patterns survive JPEG compression well enough to tell A from B.
QRgb PatternA(int x, int y) { return qRgb(x % 256, 40, 255 - y % 256); }
QRgb PatternB(int x, int y) { return qRgb(30, y % 256, (x / 2) % 256); }

void WriteJpeg(const QString& Path, int Width, int Height, QRgb (*Pattern)(int, int)) {
  QImage image(Width, Height, QImage::Format_RGB32);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) image.setPixel(x, y, Pattern(x, y));
  QVERIFY2(image.save(Path, "JPEG", 95), qPrintable(Path));
}

// What the program's own loader makes of a file.
std::unique_ptr<TBitmap32> ReadBack(const QString& Path) {
  auto bitmap = std::make_unique<TBitmap32>();
  bitmap->ReadPictureFile(Path.toStdString());
  return bitmap;
}

std::unique_ptr<TBitmap32> Copy(TBitmap32* Source) {
  auto bitmap = std::make_unique<TBitmap32>();
  bitmap->Assign(Source);
  return bitmap;
}

bool SamePixels(const TBitmap32& A, const TBitmap32& B) {
  return A.Width() == B.Width() && A.Height() == B.Height() &&
         std::memcmp(A.PixelData(), B.PixelData(), size_t(A.Width()) * A.Height() * 4) == 0;
}

constexpr TColor32 kRgb = 0x00FFFFFF;

struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

  int argc = 0;
  std::unique_ptr<QTemporaryDir> dir;
  std::unique_ptr<TApplication> application;
  QStringList reports;
  QString startDir = QDir::currentPath();

  QString Path(const char* Name) const { return dir->filePath(Name); }

  // Creates the window in the fixture folder, as the program does.
  void Open() {
    QVERIFY(QDir::setCurrent(dir->path()));
    FormulaIndex = 0;
    application = std::make_unique<TApplication>(argc, nullptr);
    application->OnException = [this](const std::string& m) {
      reports << QString::fromStdString(m);
    };
    application->CreateForm(MainForm);
  }

  void Answer(TPictureDialog& Dialog, std::optional<QString> FileName) {
    Dialog.Answer = [FileName]() -> std::optional<std::string> {
      if (!FileName) return std::nullopt;
      return FileName->toStdString();
    };
  }

  void ShowActive() {
    MainForm->show();
    QVERIFY(QTest::qWaitForWindowActive(MainForm));
  }

  QWidget* Control(const QString& Name) { return MainForm->findChild<QWidget*>(Name); }

  void Click(QWidget* Button) { QTest::mouseClick(Button, Qt::LeftButton); }

private slots:
  void init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    reports.clear();
    WriteJpeg(Path("texture_a.jpg"), 256, 256, PatternA);
    WriteJpeg(Path("texture_b.jpg"), 256, 256, PatternB);
  }

  void cleanup() {
    application.reset();
    MainForm = nullptr;
    QDir::setCurrent(startDir);
    dir.reset();
  }

  void firstWindow() {
    Open();
    QVERIFY2(reports.isEmpty(), qPrintable(reports.join("; ")));
    QCOMPARE(MainForm->Edit1->text(), QString("1:  x"));
    const TMixBitmaps m = MainForm->Bitmaps();
    QCOMPARE(m.Weightmap->Width(), 256);
    for (int r = 0; r < 256; r += 51)
      for (int c = 0; c < 256; ++c)
        QCOMPARE(*m.Weightmap->PixelAddress(c, r), MakeColor32(c, c, c, 255));
    const auto a = ReadBack(Path("texture_a.jpg"));
    const auto b = ReadBack(Path("texture_b.jpg"));
    QCOMPARE(m.Comb->Width(), 256);
    for (int r = 0; r < 256; ++r) {
      QCOMPARE(*m.Comb->PixelAddress(0, r), *a->PixelAddress(0, r));
      QCOMPARE(*m.Comb->PixelAddress(255, r), *b->PixelAddress(255, r));
      QCOMPARE(*m.TexB->PixelAddress(255, r) & kRgb, *b->PixelAddress(255, r) & kRgb);
    }
  }

  void designTimeText() {
    TMainForm form;
    QCOMPARE(form.Edit1->text(), QString("loaded image"));
    QVERIFY(form.WeightmapImg->Bitmap()->IsEmpty());
  }

  void layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const char* kind, const char* parent, QRect bounds,
                        const char* text) {
      QTest::newRow(name) << name << kind << parent << bounds << text;
    };
    row("TexAPnl", "TPanel", "MainForm", {8, 8, 273, 289}, "");
    row("Label1", "TLabel", "TexAPnl", {2, 2, 269, 16}, "Texture A");
    row("TexAImg", "TImage32", "TexAPnl", {2, 18, 269, 269}, "Load Texture with Double Click");
    row("TexBPnl", "TPanel", "MainForm", {288, 8, 273, 289}, "");
    row("Label2", "TLabel", "TexBPnl", {2, 2, 269, 16}, "Texture B");
    row("TexBImg", "TImage32", "TexBPnl", {2, 18, 269, 269}, "Load Texture with Double Click");
    row("WeightmapPnl", "TPanel", "MainForm", {8, 304, 273, 289}, "");
    row("Label3", "TLabel", "WeightmapPnl", {2, 2, 269, 16}, "Weightmap");
    row("WeightmapImg", "TImage32", "WeightmapPnl", {2, 18, 269, 269},
        "Load Weightmap Texture with Double Click");
    row("CombPnl", "TPanel", "MainForm", {288, 304, 273, 289}, "");
    row("Label4", "TLabel", "CombPnl", {2, 2, 269, 16}, "Combined Texture");
    row("CombImg", "TImage32", "CombPnl", {2, 18, 269, 269}, "Save Texture with Double Click");
    row("Button1", "TButton", "MainForm", {8, 600, 49, 21}, "previous");
    row("Button2", "TButton", "MainForm", {64, 600, 57, 21}, "next");
    row("Edit1", "TEdit", "MainForm", {128, 600, 321, 21}, "1:  x");
    row("Button3", "TButton", "MainForm", {480, 599, 81, 26}, "close");
  }

  // Text is the caption, the box text, or for the panes their hint.
  void layout() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, parent);
    QFETCH(QRect, bounds);
    QFETCH(QString, text);
    Open();
    QWidget* control = Control(name);
    QVERIFY(control != nullptr);
    QCOMPARE(QString(dynamic_cast<TObject*>(control)->ClassName()), kind);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->geometry(), bounds);
    QString shown;
    if (auto* label = qobject_cast<QLabel*>(control)) shown = label->text();
    if (auto* button = qobject_cast<QPushButton*>(control)) shown = button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(control)) shown = edit->text();
    if (kind == "TImage32") shown = control->toolTip();
    QCOMPARE(shown, text);
    QCOMPARE(control->toolTip().isEmpty(), kind != "TImage32");
  }

  void formSettings() {
    Open();
    QCOMPARE(MainForm->windowTitle(), QString("Quorvane"));
    QCOMPARE(MainForm->objectName(), QString("MainForm"));
    QCOMPARE(MainForm->font().pixelSize(), 11);
    QCOMPARE(MainForm->font().family(), QString("MS Sans Serif"));
    QCOMPARE(MainForm->Label1->font().family(), QString("Tahoma"));
    QVERIFY(MainForm->Label1->font().bold());
    QCOMPARE(MainForm->Label1->alignment(), Qt::AlignCenter);
    QCOMPARE(MainForm->Label1->palette().color(QPalette::Window), QColor(128, 128, 128));
    QCOMPARE(MainForm->Edit1->palette().color(QPalette::Base), QColor(212, 208, 200));
    QVERIFY(MainForm->Edit1->isReadOnly());
    QCOMPARE(MainForm->DefaultButton(), MainForm->Button2);
    QCOMPARE(MainForm->OpenPictureDialog1.Filter,
             std::string("Alle (*.tga;*.jpg;*.jpeg;*.bmp)|*.tga;*.jpg;*.jpeg;*.bmp;*.emf;*.wmf|"
                         "Targa (*.tga)|*.tga|JPEG-Grafikdatei (*.jpg)|*.jpg|"
                         "JPEG-Grafikdatei (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp"));
    QCOMPARE(MainForm->SavePictureDialog1.Filter,
             std::string("Alle (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|Bitmaps (*.bmp)|*.bmp|"
                         "JPEG-Grafikdatei (*.jpg)|*.jpg|JPEG-Grafikdatei (*.jpeg)|*.jpeg"));
  }

  void tabOrder() {
    Open();
    const QStringList expected{"TexAImg", "TexBImg", "WeightmapImg", "CombImg",
                               "Button1", "Button2", "Button3",      "Edit1"};
    QStringList chain;
    QWidget* w = MainForm->TexAImg;
    do {
      if (w->focusPolicy() & Qt::TabFocus) chain << w->objectName();
      w = w->nextInFocusChain();
    } while (w != MainForm->TexAImg && chain.size() < 20);
    QCOMPARE(chain, expected);
  }

  void stepping_data() {
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("text");
    QTest::newRow("previous wraps to 24") << "p"
                                          << "24:  x xor y";
    QTest::newRow("next from 24 wraps to 1") << "pn"
                                             << "1:  x";
    QTest::newRow("next") << "n"
                          << "2:  y";
    QTest::newRow("two back") << "pp"
                              << "23:  (cosTab[2*x]+cosTab[2*y])/2";
    QTest::newRow("full round") << QString(24, 'n') << "1:  x";
    QTest::newRow("to eleven") << QString(10, 'n') << "11:  min(255,255*y/(255-x)";
  }

  void stepping() {
    QFETCH(QString, clicks);
    QFETCH(QString, text);
    Open();
    for (QChar c : clicks) Click(c == 'p' ? MainForm->Button1 : MainForm->Button2);
    QCOMPARE(MainForm->Edit1->text(), text);
    QVERIFY(reports.isEmpty());
  }

  void weightmapShowsFormula() {
    Open();
    Click(MainForm->Button2);  // formula 2: y, white on top
    TImage32* view = MainForm->WeightmapImg;
    const QImage shown = view->grab().toImage();
    QCOMPARE(QRgb(shown.pixel(100, 6)), QRgb(0xFFFFFFFF));
    QCOMPARE(QRgb(shown.pixel(100, 261)), QRgb(0xFF000000));
    QCOMPARE(QRgb(shown.pixel(100, 6 + 128)), qRgb(127, 127, 127));
    QCOMPARE(QRgb(shown.pixel(5, 100)), QRgb(0xFF000000));
  }

  // A handler that changes a pane's bitmap several times (copy, blend) gets
  // one repaint, after it has returned.
  void repaintsAreDeferredAndCoalesced() {
    Open();
    ShowActive();
    PaintCounter counter;
    MainForm->CombImg->installEventFilter(&counter);
    QTest::qWait(50);
    counter.paints = 0;
    MainForm->Button2->click();
    QCOMPARE(counter.paints, 0);
    QTRY_COMPARE(counter.paints, 1);
    QTest::qWait(50);
    QCOMPARE(counter.paints, 1);
  }

  void escape_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("closes");
    QTest::newRow("previous") << "Button1" << true;
    QTest::newRow("next") << "Button2" << true;
    QTest::newRow("formula box") << "Edit1" << true;
    QTest::newRow("close") << "Button3" << false;
    QTest::newRow("texture pane") << "TexAImg" << false;
    QTest::newRow("combined pane") << "CombImg" << false;
  }

  void escape() {
    QFETCH(QString, focus);
    QFETCH(bool, closes);
    Open();
    ShowActive();
    QWidget* target = Control(focus);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    QTest::keyClick(target, Qt::Key_Escape);
    QCOMPARE(MainForm->isVisible(), !closes);
  }

  void enter_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("closes");
    QTest::newRow("formula box runs next") << "Edit1"
                                           << "2:  y" << false;
    QTest::newRow("pane runs next") << "TexBImg"
                                    << "2:  y" << false;
    QTest::newRow("next") << "Button2"
                          << "2:  y" << false;
    QTest::newRow("previous takes it") << "Button1"
                                       << "24:  x xor y" << false;
    QTest::newRow("close takes it") << "Button3"
                                    << "1:  x" << true;
  }

  void enter() {
    QFETCH(QString, focus);
    QFETCH(QString, text);
    QFETCH(bool, closes);
    Open();
    ShowActive();
    QWidget* target = Control(focus);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(MainForm->Edit1->text(), text);
    QCOMPARE(MainForm->isVisible(), !closes);
  }

  void closeButton() {
    Open();
    ShowActive();
    Click(MainForm->Button3);
    QVERIFY(!MainForm->isVisible());
  }

  void largePictureIntoTextureB() {
    Open();
    WriteJpeg(Path("big.jpg"), 512, 512, PatternA);
    const auto source = ReadBack(Path("big.jpg"));
    Answer(MainForm->OpenPictureDialog1, Path("big.jpg"));
    QTest::mouseDClick(MainForm->TexBImg, Qt::LeftButton);
    QVERIFY2(reports.isEmpty(), qPrintable(reports.join("; ")));
    TBitmap32* b = MainForm->TexBImg->Bitmap();
    QCOMPARE(b->Width(), 256);
    QCOMPARE(b->Height(), 256);
    for (int r = 0; r < 256; r += 3)
      for (int c = 0; c < 256; c += 3)
        if ((*b->PixelAddress(c, r) & kRgb) != (*source->PixelAddress(2 * c, 2 * r) & kRgb))
          QFAIL(qPrintable(QString("pane pixel %1, %2").arg(c).arg(r)));
    QCOMPARE(*MainForm->CombImg->Bitmap()->PixelAddress(255, 9) & kRgb,
             *source->PixelAddress(510, 18) & kRgb);
  }

  // The formula box keeps its text, and "next" steps on from it.
  void smallPictureIntoWeightmap() {
    Open();
    WriteJpeg(Path("small.jpg"), 100, 50, PatternB);
    const auto source = ReadBack(Path("small.jpg"));
    Answer(MainForm->OpenPictureDialog1, Path("small.jpg"));
    QTest::mouseDClick(MainForm->WeightmapImg, Qt::LeftButton);
    TBitmap32* w = MainForm->WeightmapImg->Bitmap();
    QCOMPARE(w->Width(), 256);
    for (int k = 0; k < 256; ++k) {
      QCOMPARE(*w->PixelAddress(k, 7),
               *source->PixelAddress(int(k * 0.390625), int(7 * 0.1953125)));
      QCOMPARE(*w->PixelAddress(3, k),
               *source->PixelAddress(int(3 * 0.390625), int(k * 0.1953125)));
    }
    QCOMPARE(MainForm->Edit1->text(), QString("1:  x"));
    for (int i = 0; i < 256 * 256; i += 101)
      QCOMPARE(MainForm->TexBImg->Bitmap()->PixelData()[i] >> 24, w->PixelData()[i] & 0xFF);
    Click(MainForm->Button2);
    QCOMPARE(MainForm->Edit1->text(), QString("2:  y"));
  }

  void cancelledLoadStillRecombines() {
    Open();
    TBitmap32* comb = MainForm->CombImg->Bitmap();
    const auto combined = Copy(comb);
    comb->FillAll(0xFF00FF00);
    Answer(MainForm->OpenPictureDialog1, std::nullopt);
    QTest::mouseDClick(MainForm->TexAImg, Qt::LeftButton);
    QVERIFY(SamePixels(*comb, *combined));
    QVERIFY(reports.isEmpty());
  }

  void saveWritesA32BitBitmap() {
    Open();
    Answer(MainForm->SavePictureDialog1, Path("out.jpg"));
    QTest::mouseDClick(MainForm->CombImg, Qt::LeftButton);
    QVERIFY2(reports.isEmpty(), qPrintable(reports.join("; ")));
    QFile file(Path("out.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() >= 54 + 256 * 256 * 4);
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(int(uint8_t(bytes[28])), 32);
    // A cancelled save writes nothing.
    file.close();
    QVERIFY(QFile::remove(Path("out.jpg")));
    Answer(MainForm->SavePictureDialog1, std::nullopt);
    QTest::mouseDClick(MainForm->CombImg, Qt::LeftButton);
    QVERIFY(!QFile::exists(Path("out.jpg")));
  }

  void failedLoadChangesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("targa") << "picture.tga" << QByteArray(18, '\0') << "";
    QTest::newRow("broken jpeg") << "broken.jpg" << QByteArray("not a JPEG stream")
                                 << "JPEG-Fehler #";
    QTest::newRow("missing") << "missing.bmp" << QByteArray() << "";
  }

  void failedLoadChangesNothing() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    Open();
    if (!content.isEmpty()) {
      QFile file(Path(qPrintable(name)));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(content);
    }
    TBitmap32* a = MainForm->TexAImg->Bitmap();
    TBitmap32* comb = MainForm->CombImg->Bitmap();
    const auto aBefore = Copy(a);
    comb->FillAll(0xFF00FF00);  // a run of Recombine would show
    const auto combBefore = Copy(comb);
    Answer(MainForm->OpenPictureDialog1, Path(qPrintable(name)));
    QTest::mouseDClick(MainForm->TexAImg, Qt::LeftButton);
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports[0].startsWith(message), qPrintable(reports[0]));
    QVERIFY(SamePixels(*a, *aBefore));
    QVERIFY(SamePixels(*comb, *combBefore));
    Click(MainForm->Button2);  // the program goes on
    QCOMPARE(MainForm->Edit1->text(), QString("2:  y"));
  }

  // A zero-byte JPEG reads as an empty picture: nothing is drawn, no error,
  // and the combination is rebuilt.
  void zeroByteJpegDrawsNothing() {
    Open();
    QFile empty(Path("empty.jpg"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    TBitmap32* a = MainForm->TexAImg->Bitmap();
    TBitmap32* comb = MainForm->CombImg->Bitmap();
    const auto aBefore = Copy(a);
    const auto combined = Copy(comb);
    comb->FillAll(0xFF00FF00);
    Answer(MainForm->OpenPictureDialog1, Path("empty.jpg"));
    QTest::mouseDClick(MainForm->TexAImg, Qt::LeftButton);
    QVERIFY2(reports.isEmpty(), qPrintable(reports.join("; ")));
    QVERIFY(SamePixels(*a, *aBefore));
    QVERIFY(SamePixels(*comb, *combined));
  }

  // A missing default texture is reported, and start-up still sizes the
  // weightmap and shows formula 1; the empty texture A stays loadable.
  void missingTextureA() {
    QVERIFY(QFile::remove(Path("texture_a.jpg")));
    Open();
    QCOMPARE(reports.size(), 1);
    QCOMPARE(MainForm->Edit1->text(), QString("1:  x"));
    const TMixBitmaps m = MainForm->Bitmaps();
    QCOMPARE(m.Weightmap->Width(), 256);
    QCOMPARE(*m.Weightmap->PixelAddress(200, 3), MakeColor32(200, 200, 200, 255));
    QVERIFY(m.TexA->IsEmpty());
    QVERIFY(m.Comb->IsEmpty());
    Click(MainForm->Button2);
    QCOMPARE(reports.size(), 1);  // no "Destination bitmap is nil or empty"

    WriteJpeg(Path("small.jpg"), 100, 50, PatternA);
    Answer(MainForm->OpenPictureDialog1, Path("small.jpg"));
    QTest::mouseDClick(MainForm->TexAImg, Qt::LeftButton);
    QCOMPARE(reports.size(), 1);
    QCOMPARE(m.TexA->Width(), 100);
    QCOMPARE(m.TexA->Height(), 50);
    QVERIFY(SamePixels(*m.TexA, *ReadBack(Path("small.jpg"))));
    QCOMPARE(m.Comb->Width(), 100);
  }

  void missingTextureB() {
    QVERIFY(QFile::remove(Path("texture_b.jpg")));
    Open();
    QCOMPARE(reports.size(), 1);
    QCOMPARE(MainForm->Edit1->text(), QString("1:  x"));
    QCOMPARE(MainForm->TexBImg->Bitmap()->Width(), 256);
    QCOMPARE(MainForm->CombImg->Bitmap()->Width(), 256);
  }

  // A texture B of another size is scaled to the weightmap's, not wiped.
  void largeDefaultTextureB() {
    WriteJpeg(Path("texture_b.jpg"), 512, 512, PatternB);
    Open();
    const auto source = ReadBack(Path("texture_b.jpg"));
    TBitmap32* b = MainForm->TexBImg->Bitmap();
    QCOMPARE(b->Width(), 256);
    for (int r = 0; r < 256; r += 5)
      for (int c = 0; c < 256; c += 5)
        if ((*b->PixelAddress(c, r) & kRgb) != (*source->PixelAddress(2 * c, 2 * r) & kRgb))
          QFAIL(qPrintable(QString("pane pixel %1, %2").arg(c).arg(r)));
  }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
