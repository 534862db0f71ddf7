// quorvane-mix must give exactly the window's pixels: both are driven on the
// same textures and their saved files compared byte for byte.
#include "app/main_form.h"
#include "app/mix_tool.h"
#include "app/weightmap.h"
#include "platform/ui/application.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <sstream>

class MixToolWindowTest : public QObject {
  Q_OBJECT

  int argc = 0;
  QTemporaryDir dir;
  QString startDir = QDir::currentPath();

  QString Path(const QString& Name) const { return dir.filePath(Name); }

  static void WriteJpeg(const QString& Path, int Width, int Height, int Seed) {
    QImage image(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x)
        image.setPixel(x, y, qRgb((x * 3 + Seed) % 256, (y * 5) % 256, (x ^ y) % 256));
    QVERIFY(image.save(Path, "JPEG", 90));
  }

  static QByteArray Bytes(const QString& Path) {
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  // The window's save after stepping to Formula, or after loading Weightmap
  // into the weightmap pane when one is given.
  QByteArray WindowSave(int Formula, const QString& Weightmap) {
    FormulaIndex = 0;
    auto application = std::make_unique<TApplication>(argc, nullptr);
    QStringList reports;
    application->OnException = [&](const std::string& m) { reports << m.c_str(); };
    application->CreateForm(MainForm);
    for (int n = 1; n < Formula; ++n) MainForm->Button2Click(nullptr);
    if (!Weightmap.isEmpty()) {
      MainForm->OpenPictureDialog1.Answer = [&] { return std::optional(Weightmap.toStdString()); };
      MainForm->WeightmapImgDblClick(nullptr);
    }
    const QString out = Path("window.bmp");
    MainForm->SavePictureDialog1.Answer = [&] { return std::optional(out.toStdString()); };
    MainForm->CombImgDblClick(nullptr);
    application.reset();
    MainForm = nullptr;
    if (!reports.isEmpty()) qWarning() << reports;
    return Bytes(out);
  }

  QByteArray ToolMix(const std::vector<std::string>& WeightmapArguments) {
    const std::string out = Path("tool.bmp").toStdString();
    std::vector<std::string> arguments = {"mix", "texture_a.jpg", "texture_b.jpg"};
    arguments.insert(arguments.end(), WeightmapArguments.begin(), WeightmapArguments.end());
    arguments.insert(arguments.end(), {"-o", out});
    std::ostringstream sink;
    if (RunMixTool(arguments, sink, sink) != 0) qWarning() << sink.str().c_str();
    return Bytes(QString::fromStdString(out));
  }

private slots:
  void initTestCase() {
    QVERIFY(dir.isValid());
    QVERIFY(QDir::setCurrent(dir.path()));
    WriteJpeg(Path("texture_a.jpg"), 320, 240, 0);
    // B of another size than the weightmap: both scale it the same way.
    WriteJpeg(Path("texture_b.jpg"), 200, 300, 90);
    WriteJpeg(Path("weights.jpg"), 100, 50, 40);
  }
  void cleanupTestCase() { QDir::setCurrent(startDir); }

  void mixEqualsTheWindowsSave_data() {
    QTest::addColumn<int>("formula");
    QTest::addColumn<QString>("weightmap");
    QTest::newRow("formula 1") << 1 << QString();
    QTest::newRow("formula 12") << 12 << QString();
    QTest::newRow("formula 24") << 24 << QString();
    QTest::newRow("weightmap file") << 1 << QString("weights.jpg");
  }

  void mixEqualsTheWindowsSave() {
    QFETCH(int, formula);
    QFETCH(QString, weightmap);
    const QByteArray window = WindowSave(formula, weightmap);
    const QByteArray tool =
        weightmap.isEmpty() ? ToolMix({"--formula", std::to_string(formula)})
                            : ToolMix({"--weightmap", weightmap.toStdString()});
    QVERIFY(window.startsWith("BM"));
    QCOMPARE(window.size(), tool.size());
    QVERIFY(window == tool);
  }
};

QTEST_MAIN(MixToolWindowTest)
#include "mix_tool_window_test.moc"
