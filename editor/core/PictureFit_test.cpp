#include <QtTest>

#include "editor/core/PictureFit.h"

using namespace proctorium;

class PictureFitTest : public QObject {
  Q_OBJECT
 private slots:
  void fitsIntoTheSquare_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("p");
    QTest::addColumn<bool>("stretch");
    QTest::addColumn<QRect>("box");
    QTest::newRow("picker 640x480") << QSize(640, 480) << 300 << true << QRect(1, 38, 300, 225);
    QTest::newRow("picker 200x100") << QSize(200, 100) << 300 << false << QRect(1, 76, 300, 150);
    QTest::newRow("picker 300x301") << QSize(300, 301) << 300 << true << QRect(1, 1, 299, 300);
    QTest::newRow("picker 300x300 fits") << QSize(300, 300) << 300 << false << QRect(1, 1, 300, 300);
    QTest::newRow("picker tall 100x400") << QSize(100, 400) << 300 << true << QRect(113, 1, 75, 300);
    QTest::newRow("thumbnail 1024x768") << QSize(1024, 768) << 102 << true << QRect(1, 14, 102, 76);
    QTest::newRow("one pixel line") << QSize(1000, 1) << 300 << true << QRect(1, 151, 300, 0);
    QTest::newRow("huge bitmap") << QSize(60000, 50000) << 300 << true << QRect(1, 26, 300, 250);
    QTest::newRow("zero width") << QSize(0, 100) << 300 << false << QRect(1, 1, 300, 300);
    QTest::newRow("zero height") << QSize(100, 0) << 300 << false << QRect(1, 1, 300, 300);
  }
  void fitsIntoTheSquare() {
    QFETCH(QSize, picture);
    QFETCH(int, p);
    const TPictureFit fit = FitPictureBox(picture.width(), picture.height(), p);
    QTEST(fit.Stretch, "stretch");
    QTEST(QRect(fit.Left, fit.Top, fit.Width, fit.Height), "box");
  }
};

QTEST_APPLESS_MAIN(PictureFitTest)
#include "PictureFit_test.moc"
