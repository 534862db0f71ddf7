#include "platform/exceptions.h"
#include "platform/ui/application.h"
#include "platform/ui/image32.h"

#include <QImage>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Column x as red and green, row y as blue, so a shown pixel tells which
// bitmap pixel it is.
void FillColumns(TBitmap32& B, int32_t Width, int32_t Height) {
  B.SetDimensions(Width, Height);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x)
      *B.PixelAddress(x, y) = MakeColor32(uint8_t(x), uint8_t(x >> 8), uint8_t(y), 255);
  B.NotifyChanged();
}

QRgb Shown(TColor32 Pixel) { return 0xFF000000u | (Pixel & 0xFFFFFF); }

}  // namespace

class ImageViewTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TImage32> view;

  QImage Grab() { return view->grab().toImage().convertToFormat(QImage::Format_RGB32); }

private slots:
  void init() {
    view = std::make_unique<TImage32>(nullptr);
    view->resize(269, 269);
  }
  void cleanup() { view.reset(); }

  // A 256-square bitmap leaves 6 black columns and rows before it and 7 after.
  void borders() {
    view->Bitmap()->SetDimensions(256, 256);
    view->Bitmap()->FillAll(0xFFFFFFFF);
    const QImage shown = Grab();
    QCOMPARE(shown.size(), QSize(269, 269));
    for (int i = 0; i < 269; ++i) {
      const bool inside = i >= 6 && i <= 261;
      const QRgb expected = inside ? 0xFFFFFFFF : 0xFF000000;
      QCOMPARE(shown.pixel(i, 100), expected);
      QCOMPARE(shown.pixel(100, i), expected);
    }
  }

  void offsets_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("offsetX");
    QTest::addColumn<int>("offsetY");
    QTest::newRow("512 wide") << 512 << 100 << -121 << 84;
    QTest::newRow("odd") << 255 << 268 << 7 << 0;
    QTest::newRow("one pixel") << 1 << 1 << 134 << 134;
    QTest::newRow("270 square") << 270 << 270 << 0 << 0;  // -1 div 2 truncates to 0
  }

  void offsets() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, offsetX);
    QFETCH(int, offsetY);
    FillColumns(*view->Bitmap(), width, height);
    QCOMPARE(view->BitmapOffset(), QPoint(offsetX, offsetY));
    const QImage shown = Grab();
    for (int vy = 0; vy < 269; vy += 3)
      for (int vx = 0; vx < 269; vx += 3) {
        const int bx = vx - offsetX, by = vy - offsetY;
        const bool covered = bx >= 0 && bx < width && by >= 0 && by < height;
        const QRgb expected = covered ? Shown(*view->Bitmap()->PixelAddress(bx, by)) : 0xFF000000;
        if (shown.pixel(vx, vy) != expected)
          QFAIL(qPrintable(QString("view pixel %1, %2").arg(vx).arg(vy)));
      }
  }

  // The view of a 512-wide bitmap begins at its column 121 and ends at 389.
  void wideBitmapColumns() {
    FillColumns(*view->Bitmap(), 512, 269);
    const QImage shown = Grab();
    QCOMPARE(shown.pixel(0, 10), Shown(*view->Bitmap()->PixelAddress(121, 10)));
    QCOMPARE(shown.pixel(268, 10), Shown(*view->Bitmap()->PixelAddress(389, 10)));
  }

  void alphaHasNoEffect() {
    view->Bitmap()->SetDimensions(269, 269);
    view->Bitmap()->FillAll(0x00123456);
    QCOMPARE(Grab().pixel(50, 50), QRgb(0xFF123456));
  }

  void emptyBitmapIsBlack() {
    FillColumns(*view->Bitmap(), 300, 300);
    Grab();
    view->Bitmap()->SetDimensions(0, 0);
    const QImage shown = Grab();
    for (int i = 0; i < 269; i += 7) QCOMPARE(shown.pixel(i, 268 - i), QRgb(0xFF000000));
  }

  // Pixel writes signal nothing: the view keeps its picture until told.
  void repaintsOnlyWhenNotified() {
    view->Bitmap()->SetDimensions(256, 256);
    view->Bitmap()->FillAll(0xFF0000FF);
    QCOMPARE(Grab().pixel(100, 100), QRgb(0xFF0000FF));
    *view->Bitmap()->PixelAddress(94, 94) = 0xFF00FF00;
    QCOMPARE(Grab().pixel(100, 100), QRgb(0xFF0000FF));
    view->NotifyViewChanged();
    QCOMPARE(Grab().pixel(100, 100), QRgb(0xFF00FF00));
    view->Bitmap()->SetDimensions(10, 10);  // OnResize (and OnChange) repaint
    QCOMPARE(Grab().pixel(100, 100), QRgb(0xFF000000));
  }

  void drawsUnderTheBitmapLock() {
    view->Bitmap()->SetDimensions(256, 256);
    std::atomic<bool> locked{false}, released{false};
    std::thread holder([&] {
      view->Bitmap()->EnterLock();
      locked = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      released = true;
      view->Bitmap()->LeaveLock();
    });
    while (!locked) std::this_thread::yield();
    view->NotifyViewChanged();
    Grab();
    const bool waited = released;
    holder.join();
    QVERIFY(waited);
  }

  void focusRectangle() {
    view->Bitmap()->SetDimensions(0, 0);
    view->show();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
    view->setFocus();
    QTRY_VERIFY(view->hasFocus());
    const QImage focused = Grab();
    QCOMPARE(focused.pixel(0, 0), QRgb(0xFFFFFFFF));
    QCOMPARE(focused.pixel(1, 0), QRgb(0xFF000000));
    QCOMPARE(focused.pixel(134, 134), QRgb(0xFF000000));
    view->clearFocus();
    QTRY_VERIFY(!view->hasFocus());
    QCOMPARE(Grab().pixel(0, 0), QRgb(0xFF000000));
  }

  void doubleClickIsGuarded() {
    int argc = 0;
    TApplication application(argc, nullptr);
    QStringList reports;
    application.OnException = [&](const std::string& m) { reports << QString::fromStdString(m); };
    int clicks = 0;
    view->OnDblClick = [&](TObject* Sender) {
      QCOMPARE(Sender, static_cast<TObject*>(view.get()));
      ++clicks;
      throw Exception("cannot load");
    };
    QTest::mouseDClick(view.get(), Qt::LeftButton);
    QCOMPARE(clicks, 1);
    QCOMPARE(reports, QStringList{"cannot load"});
  }

  void hint() {
    view->SetHint("Load Texture with Double Click");
    QCOMPARE(view->toolTip(), QString("Load Texture with Double Click"));
  }
};

QTEST_MAIN(ImageViewTest)
#include "image32_test.moc"
