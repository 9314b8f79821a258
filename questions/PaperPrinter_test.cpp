// What a printed question paper is made of: each picture stored once
// however many questions show it, and tick boxes that stay black when the
// page is printed at a photocopier's resolution.
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "questions/Converter.h"
#include "questions/PaperPrinter.h"
#include "testkit/core/SampleSet.h"

using namespace proctorium;

namespace {

// Noise does not compress, so the picture's bytes outweigh everything else
// in the document and a second copy of it shows in the size.
QImage Noise(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QRandomGenerator random(7);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, random.generate() | 0xff000000u);
  return image;
}

// Grey levels of the first page of pdf at dpi.
QImage Rendered(const QString& pdf, int dpi) {
  const QString stem = pdf + QStringLiteral(".page");
  QProcess p;
  p.start(QStringLiteral("pdftoppm"),
          {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), QStringLiteral("-f"),
           QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, stem});
  p.waitForFinished(-1);
  return QImage(stem + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

int Grey(const QImage& page, int x, int y) { return page.constScanLine(y)[x]; }

// The hollow squares on a page: a top edge of 24 to 40 inked pixels (an
// answer's box at 200 dpi is the height of a capital, about 30) with
// nothing above it, sides inked as far down as it is wide, a blank middle.
// Letters have no such straight closed outline.
std::vector<QRect> Boxes(const QImage& page) {
  constexpr int Ink = 250;
  auto inked = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < page.width() && y < page.height() && Grey(page, x, y) < Ink;
  };
  std::vector<QRect> boxes;
  for (int y = 1; y < page.height(); ++y) {
    for (int x = 1; x < page.width(); ++x) {
      if (!inked(x, y) || inked(x - 1, y) || inked(x, y - 1)) continue;
      int w = 0;
      while (inked(x + w, y)) ++w;
      if (w < 24 || w > 40) {
        x += w;
        continue;
      }
      int h = 0;
      while (inked(x, y + h)) ++h;
      int right = 0;
      while (inked(x + w - 1, y + right)) ++right;
      if (std::abs(h - w) <= 2 && std::abs(right - w) <= 2 && !inked(x + w / 2, y + h / 2))
        boxes.emplace_back(x, y, w, h);
      x += w;
    }
  }
  return boxes;
}

// The palest point along the box's outline, where the outline is taken as
// the darkest pixel across the edge's thickness at each point.
int PalestEdge(const QImage& page, const QRect& box) {
  constexpr int Across = 4, Corner = 4;
  int palest = 0;
  for (int t = Corner; t < box.width() - Corner; ++t) {
    int top = 255, bottom = 255, left = 255, right = 255;
    for (int d = 0; d < Across; ++d) {
      top = std::min(top, Grey(page, box.left() + t, box.top() + d));
      bottom = std::min(bottom, Grey(page, box.left() + t, box.bottom() - d));
      left = std::min(left, Grey(page, box.left() + d, box.top() + t));
      right = std::min(right, Grey(page, box.right() - d, box.top() + t));
    }
    palest = std::max({palest, top, bottom, left, right});
  }
  return palest;
}

}  // namespace

class TPaperPrinterTest : public QObject {
  Q_OBJECT
 private slots:
  // A picture shown by ten questions costs what it costs shown once: the
  // document holds it once, and the picture is asked for once.
  void aPictureIsStoredOncePerDocument() {
    const QImage picture = Noise(240, 180);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "BMP"));
    int asked = 0;
    // Decoded afresh on every call, as the callers read picture files.
    auto exhibit = [&](const std::string&) {
      ++asked;
      return ImageOfBytes(bmp.toStdString());
    };
    auto paper = [&](int uses) {
      TQuestionSet set = testkit::MakeSet(10);
      for (int i = 1; i <= uses; ++i) set.Questions[static_cast<size_t>(i)].ExhibitFile = "Map.bmp";
      asked = 0;
      return SheetPdf(set, false, "Pictures", exhibit);
    };
    const size_t once = paper(1).size();
    QCOMPARE(asked, 1);
    const size_t tenTimes = paper(10).size();
    QCOMPARE(asked, 1);
    const size_t none = paper(0).size();
    QVERIFY2(once - none > 20000, qPrintable(QString("the picture adds %1 bytes").arg(once - none)));
    QVERIFY2(tenTimes < once + (once - none) / 2,
             qPrintable(QString("once %1 bytes, ten times %2 bytes").arg(once).arg(tenTimes)));
  }

  // Every tick box is drawn solid black, on every printer resolution and
  // paper size, so it survives a 200 dpi photocopy.
  void tickBoxesStayBlackAt200Dpi_data() {
    QTest::addColumn<int>("resolution");  // 0: the PDF export
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("answerType");
    QTest::newRow("PDF export, one answer") << 0 << int(QPageSize::A4) << int(TAnswerType::Single);
    QTest::newRow("PDF export, several answers") << 0 << int(QPageSize::A4) << int(TAnswerType::Multiple);
    QTest::newRow("printer at 1200 dpi, Letter") << 1200 << int(QPageSize::Letter) << int(TAnswerType::Single);
    QTest::newRow("printer at 300 dpi, A4") << 300 << int(QPageSize::A4) << int(TAnswerType::Multiple);
    QTest::newRow("printer at 72 dpi, A4") << 72 << int(QPageSize::A4) << int(TAnswerType::Single);
  }
  void tickBoxesStayBlackAt200Dpi() {
    QFETCH(int, resolution);
    QFETCH(int, paper);
    QFETCH(int, answerType);
    TQuestionSet set = testkit::MakeSet(3);
    for (int i = 1; i <= 3; ++i) set.Questions[static_cast<size_t>(i)].AnswerType = TAnswerType(answerType);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("paper.pdf"));
    if (resolution == 0) {
      const std::string bytes = SheetPdf(set, false, "Boxes", nullptr);
      QFile f(pdf);
      QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()));
    } else {
      QPrinter printer;
      printer.setResolution(resolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setPageSize(QPageSize(QPageSize::PageSizeId(paper)));
      printer.setOutputFileName(pdf);
      QVERIFY(PrintSheet(&printer, set, TSheetKind::QuestionPaper, "Boxes", nullptr));
    }
    const QImage page = Rendered(pdf, 200);
    QVERIFY(!page.isNull());
    const std::vector<QRect> boxes = Boxes(page);
    QCOMPARE(boxes.size(), size_t(3 * 4));  // three questions of four answers
    for (const QRect& box : boxes) {
      const int palest = PalestEdge(page, box);
      QVERIFY2(palest < 64,
               qPrintable(QString("box at %1,%2 is grey %3 in places").arg(box.left()).arg(box.top()).arg(palest)));
    }
  }
};

QTEST_MAIN(TPaperPrinterTest)
#include "PaperPrinter_test.moc"
