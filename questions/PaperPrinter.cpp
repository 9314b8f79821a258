#include "questions/PaperPrinter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <map>
#include <vector>

namespace proctorium {

QPen BoxPen(const QPaintDevice* device) {
  // A hairline comes out as pale grey at 200 dpi and vanishes on a
  // photocopy; 0.8 pt stays solid black through both.
  QPen pen(Qt::black);
  pen.setWidthF(BoxPenPoints * device->logicalDpiY() / 72.0);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

bool PrintSheet(QPagedPaintDevice* device, const TQuestionSet& set, TSheetKind kind, const std::string& title,
                const std::function<QImage(const std::string&)>& exhibit,
                const std::function<std::string(const std::string&)>& describe) {
  QPainter p;
  if (!p.begin(device)) return false;
  const QRect page = p.viewport();
  const int dpi = device->logicalDpiY();
  const int footer = dpi / 3;
  const int pageHeight = page.height() - footer;
  const int gap = dpi / 12;
  const int indent = dpi / 2;
  QFont body(QStringLiteral("DejaVu Sans"), 11);
  // Ligatures would make copied or searched text differ from the question.
  body.setStyleStrategy(QFont::PreferNoShaping);
  QFont bold = body;
  bold.setBold(true);
  QFont heading = bold;
  heading.setPointSize(16);
  QFont small = body;
  small.setPointSize(8);
  auto fontOf = [&](const TPrintBlock& b) -> const QFont& {
    return b.Type == TPrintBlock::Title ? heading : (b.Type == TPrintBlock::Key ? bold : body);
  };
  // Questions and key lines stand apart from what comes before them.
  auto gapAbove = [gap](const TPrintBlock& b) {
    return b.Type == TPrintBlock::Question || b.Type == TPrintBlock::Key ? gap : 0;
  };

  const std::vector<TPrintBlock> blocks = ComposeSheet(set, kind, title);
  std::vector<QImage> pictures(blocks.size());
  // One image per picture file: the PDF writer embeds an image once per
  // document only while it is the same image object, so a picture used by
  // several questions (or by every version of a paper) is decoded and
  // stored once.
  std::map<std::string, QImage> byFile;
  std::vector<QString> descriptions(blocks.size());
  std::vector<int> descriptionHeights(blocks.size());
  std::vector<QRect> rects(blocks.size());
  std::vector<int> heights(blocks.size());
  for (size_t i = 0; i < blocks.size(); ++i) {
    const TPrintBlock& b = blocks[i];
    const QString text = QString::fromStdString(b.Text);
    const int left = b.Type == TPrintBlock::Answer || b.Type == TPrintBlock::Reference || b.Type == TPrintBlock::Exhibit
                         ? 2 * indent
                         : (b.Type == TPrintBlock::Question || b.Type == TPrintBlock::Key ? indent : 0);
    if (b.Type == TPrintBlock::Exhibit) {
      if (exhibit) {
        auto [it, added] = byFile.try_emplace(b.ExhibitFile);
        if (added) it->second = exhibit(b.ExhibitFile);
        pictures[i] = it->second;
      }
      int w = 0, h = 0;
      if (!pictures[i].isNull()) {
        // Pictures are drawn at 96 dots per inch at most, within the page.
        const int natW = pictures[i].width() * dpi / 96, natH = pictures[i].height() * dpi / 96;
        FitInto(natW, natH, page.width() - left, pageHeight / 2, w, h);
      }
      rects[i] = QRect(left, 0, w, h);
      heights[i] = h + gap;
      if (describe) descriptions[i] = QString::fromStdString(describe(b.ExhibitFile));
      if (!descriptions[i].isEmpty()) {
        descriptionHeights[i] =
            QFontMetrics(body, device)
                .boundingRect(QRect(left, 0, page.width() - left, 100000), Qt::TextWordWrap, descriptions[i])
                .height();
        heights[i] += descriptionHeights[i] + gap;
      }
      continue;
    }
    const QRect r = QFontMetrics(fontOf(b), device)
                        .boundingRect(QRect(left, 0, page.width() - left, 100000), Qt::TextWordWrap, text);
    rects[i] = QRect(left, 0, page.width() - left, r.height());
    heights[i] = r.height() + gap + (b.Type == TPrintBlock::Title ? gap * 2 : 0) + gapAbove(b);
  }
  const auto pages = Paginate(blocks, heights, pageHeight);
  for (size_t n = 0; n < pages.size(); ++n) {
    if (n > 0) device->newPage();
    p.setPen(Qt::black);
    int y = 0;
    for (size_t i : pages[n]) {
      const TPrintBlock& b = blocks[i];
      QRect r = rects[i].translated(0, y + gapAbove(b));
      const QFont& f = fontOf(b);
      p.setFont(f);
      if (b.Type == TPrintBlock::Exhibit) {
        if (!pictures[i].isNull()) p.drawImage(r, pictures[i]);
        if (!descriptions[i].isEmpty())
          p.drawText(QRect(r.left(), r.top() + r.height() + gap, page.width() - r.left(), descriptionHeights[i]),
                     Qt::TextWordWrap, descriptions[i]);
      } else {
        if (!b.Label.empty()) {
          const QFontMetrics fm(bold, device);
          p.setFont(bold);
          if (b.Type == TPrintBlock::Answer) {
            // A box to tick, then the letter.
            const int s = fm.ascent();
            p.setPen(BoxPen(device));
            p.drawRect(QRect(indent, r.top() + (fm.height() - s) / 2, s, s));
            p.setPen(Qt::black);
            p.drawText(QPoint(indent + s + s / 2, r.top() + fm.ascent()), QString::fromStdString(b.Label));
          } else {
            p.drawText(QPoint(0, r.top() + fm.ascent()), QString::fromStdString(b.Label));
          }
          p.setFont(f);
        }
        p.drawText(r, Qt::TextWordWrap, QString::fromStdString(b.Text));
      }
      y += heights[i];
    }
    p.setFont(small);
    p.drawText(QRect(0, page.height() - footer, page.width(), footer), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("%1 - page %2 of %3").arg(QString::fromStdString(title)).arg(n + 1).arg(pages.size()));
  }
  p.end();
  return true;
}

}  // namespace proctorium
