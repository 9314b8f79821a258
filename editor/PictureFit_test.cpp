#include <QtTest>

#include "editor/PictureFit.h"

using namespace proctorium;

class PictureFitTest : public QObject {
  Q_OBJECT
 private slots:
  void fitsIntoTheSquare_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("p");
    QTest::addColumn<bool>("stretch");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("picker 640x480") << 640 << 480 << 300 << true << 1 << 38 << 300 << 225;
    QTest::newRow("picker 200x100") << 200 << 100 << 300 << false << 1 << 76 << 300 << 150;
    QTest::newRow("picker 50x50") << 50 << 50 << 300 << false << 1 << 1 << 300 << 300;
    QTest::newRow("picker 300x301") << 300 << 301 << 300 << true << 1 << 1 << 299 << 300;
    QTest::newRow("picker 300x300 fits") << 300 << 300 << 300 << false << 1 << 1 << 300 << 300;
    QTest::newRow("picker tall 100x400") << 100 << 400 << 300 << true << 113 << 1 << 75 << 300;
    QTest::newRow("thumbnail 1024x768") << 1024 << 768 << 102 << true << 1 << 14 << 102 << 76;
    QTest::newRow("one pixel line") << 1000 << 1 << 300 << true << 1 << 151 << 300 << 0;
    QTest::newRow("huge bitmap") << 60000 << 50000 << 300 << true << 1 << 26 << 300 << 250;
    QTest::newRow("zero width") << 0 << 100 << 300 << false << 1 << 1 << 300 << 300;
    QTest::newRow("zero height") << 100 << 0 << 300 << false << 1 << 1 << 300 << 300;
    QTest::newRow("empty picture") << 0 << 0 << 102 << false << 1 << 1 << 102 << 102;
  }
  void fitsIntoTheSquare() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, p);
    const TPictureFit fit = FitPictureBox(w, h, p);
    QTEST(fit.Stretch, "stretch");
    QTEST(fit.Left, "left");
    QTEST(fit.Top, "top");
    QTEST(fit.Width, "width");
    QTEST(fit.Height, "height");
  }
};

QTEST_APPLESS_MAIN(PictureFitTest)
#include "PictureFit_test.moc"
