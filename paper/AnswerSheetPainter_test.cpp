// What the scanner sees of a printed answer sheet: a QR code that reads back
// as the sheet's code, black corner marks, and black box outlines with
// white inside, where the layout says.

#define ZX_USE_UTF8
#include "paper/AnswerSheetPainter.h"

#include <ZXing/ReadBarcode.h>

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QtTest>
#include <cmath>
#include <numeric>

#include "paper/core/SheetCode.h"

using namespace proctorium;

namespace {

std::string ReadQr(const QImage& page) {
  const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
  const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                              static_cast<int>(grey.bytesPerLine()));
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode);
  const ZXing::Result result = ZXing::ReadBarcode(view, hints);
  return result.isValid() ? result.text() + "|" + result.ecLevel() : std::string();
}

int Grey(const QImage& image, double xPt, double yPt, double dpi) {
  return qGray(image.pixel(static_cast<int>(xPt * dpi / 72.0), static_cast<int>(yPt * dpi / 72.0)));
}

}  // namespace

class AnswerSheetPainterTest : public QObject {
  Q_OBJECT

 private slots:
  void qrReadsBackAsTheCode_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("sheet");
    QTest::addColumn<double>("dpi");
    QTest::newRow("A4 first sheet 300 dpi") << int(TPaperSize::A4) << 0 << 300.0;
    QTest::newRow("A4 third sheet 150 dpi") << int(TPaperSize::A4) << 2 << 150.0;
    QTest::newRow("Letter first sheet 200 dpi") << int(TPaperSize::Letter) << 0 << 200.0;
    QTest::newRow("Letter second sheet 600 dpi") << int(TPaperSize::Letter) << 1 << 600.0;
  }
  void qrReadsBackAsTheCode() {
    QFETCH(int, size);
    QFETCH(int, sheet);
    QFETCH(double, dpi);
    const auto sheets = LayoutAnswerSheets({TPaperSize(size), 8}, std::vector<int>(250, 8));
    QVERIFY(sheet < int(sheets.size()));
    const TSheetCode code{0xA1B2C3D4, 0x0011223344556677ull, 'K', sheet + 1, int(sheets.size())};
    const std::string text = EncodeSheetCode(code);
    const QImage page = RenderAnswerSheet(sheets[sheet], text, dpi);
    QCOMPARE(page.width(), int(std::lround(PageWidth(TPaperSize(size)) * dpi / 72)));
    const std::string read = ReadQr(page);
    QVERIFY2(!read.empty(), "no QR code found");
    const size_t bar = read.rfind('|');
    QCOMPARE(read.substr(0, bar), text);
    // Level M or better: a code that survives some dirt.
    const std::string level = read.substr(bar + 1);
    QVERIFY2(level == "M" || level == "Q" || level == "H", level.c_str());
    QCOMPARE(DecodeSheetCode(read.substr(0, bar)), std::optional<TSheetCode>(code));
  }

  void marksAndBoxesAreWhereTheLayoutSays_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("dpi");
    QTest::newRow("A4 300 dpi") << int(TPaperSize::A4) << 300.0;
    QTest::newRow("Letter 200 dpi") << int(TPaperSize::Letter) << 200.0;
  }
  void marksAndBoxesAreWhereTheLayoutSays() {
    QFETCH(int, size);
    QFETCH(double, dpi);
    std::vector<int> answers;
    for (int i = 0; i < 60; ++i) answers.push_back(2 + i % 7);
    const TSheetLayout layout = LayoutAnswerSheets({TPaperSize(size), 6}, answers)[0];
    const QImage page = RenderAnswerSheet(layout, EncodeSheetCode({1, 2, 'A', 1, 1}), dpi);
    for (const TPaperRect& c : layout.Corners) {
      QCOMPARE(Grey(page, c.X + c.W / 2, c.Y + c.H / 2, dpi), 0);
      QCOMPARE(Grey(page, c.X + 1, c.Y + c.H - 1, dpi), 0);
    }
    std::vector<TPaperRect> boxes;
    for (const auto& column : layout.IdBoxes) boxes.insert(boxes.end(), column.begin(), column.end());
    for (const TSheetRow& row : layout.Rows) boxes.insert(boxes.end(), row.Boxes.begin(), row.Boxes.end());
    QCOMPARE(boxes.size(), size_t(std::accumulate(answers.begin(), answers.end(), 0) + 6 * 10));
    for (const TPaperRect& b : boxes) {
      const QString where = QStringLiteral("box at %1,%2").arg(b.X).arg(b.Y);
      // The outline is dark on all four sides, the inside blank.
      QVERIFY2(Grey(page, b.X + b.W / 2, b.Y, dpi) < 100, qPrintable(where));
      QVERIFY2(Grey(page, b.X + b.W / 2, b.Y + b.H, dpi) < 100, qPrintable(where));
      QVERIFY2(Grey(page, b.X, b.Y + b.H / 2, dpi) < 100, qPrintable(where));
      QVERIFY2(Grey(page, b.X + b.W, b.Y + b.H / 2, dpi) < 100, qPrintable(where));
      QVERIFY2(Grey(page, b.X + b.W / 2, b.Y + b.H / 2, dpi) > 240, qPrintable(where));
      // Blank between this box and whatever comes next on its right.
      QVERIFY2(Grey(page, b.X + b.W + 2.5, b.Y + b.H / 2, dpi) > 240, qPrintable(where));
    }
    QVERIFY(layout.NameLine.W > 0);
    QVERIFY(Grey(page, layout.NameLine.X + layout.NameLine.W / 2, layout.NameLine.Y + layout.NameLine.H, dpi) < 100);
  }

  // The outline stays solid black, not the pale grey of a hairline, even at
  // a photocopier's 200 dpi.
  void boxOutlinesAreBlackAtLowResolution() {
    const TSheetLayout layout = LayoutAnswerSheets({TPaperSize::A4, 0}, {4})[0];
    const double dpi = 200;
    const QImage page = RenderAnswerSheet(layout, EncodeSheetCode({1, 2, 'A', 1, 1}), dpi);
    for (const TPaperRect& b : layout.Rows[0].Boxes) {
      int darkest = 255;
      const int y = int(b.Y * dpi / 72);
      for (int dx = -2; dx <= 2; ++dx)
        darkest = std::min(darkest, qGray(page.pixel(int((b.X + b.W / 2) * dpi / 72), y + dx)));
      QVERIFY2(darkest < 40, qPrintable(QString::number(darkest)));
    }
  }

  void drawsIntoPdfPages() {
    const auto sheets = LayoutAnswerSheets({TPaperSize::Letter, 4}, std::vector<int>(10, 4));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    QVERIFY(PaintAnswerSheet(painter, sheets[0], EncodeSheetCode({1, 2, 'C', 1, 1})));
    painter.end();
    QVERIFY(buffer.data().startsWith("%PDF"));
    // A code zxing cannot encode is reported, the rest still drawn.
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter onImage(&image);
    QVERIFY(!PaintAnswerSheet(onImage, sheets[0], std::string(4000, 'x')));
  }
};

QTEST_MAIN(AnswerSheetPainterTest)
#include "AnswerSheetPainter_test.moc"
