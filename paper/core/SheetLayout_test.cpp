// Answer sheets must survive printing and scanning: every box within the
// corner marks, nothing touching anything else, boxes big enough to tick,
// and every question of even the largest set on some sheet.

#include "paper/core/SheetLayout.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>

using namespace proctorium;

namespace {

bool Inside(const TPaperRect& inner, const TPaperRect& outer) {
  return inner.X >= outer.X && inner.Y >= outer.Y && inner.X + inner.W <= outer.X + outer.W &&
         inner.Y + inner.H <= outer.Y + outer.H;
}

bool Overlap(const TPaperRect& a, const TPaperRect& b, double margin = 0) {
  return a.X < b.X + b.W + margin && b.X < a.X + a.W + margin && a.Y < b.Y + b.H + margin && b.Y < a.Y + a.H + margin;
}

struct TItem {
  std::string What;
  TPaperRect Rect;
};

// Everything printed on a sheet, named for the failure message.
std::vector<TItem> Items(const TSheetLayout& sheet) {
  std::vector<TItem> items;
  items.reserve(8 + sheet.Labels.size() + sheet.IdBoxes.size() * 10 + sheet.Rows.size() * 9);
  for (int i = 0; i < 4; ++i) items.push_back({"corner " + std::to_string(i), sheet.Corners[i]});
  items.push_back({"QR", sheet.Qr});
  items.push_back({"title", sheet.Title});
  if (sheet.NameLine.W > 0) items.push_back({"name line", sheet.NameLine});
  for (size_t c = 0; c < sheet.IdBoxes.size(); ++c)
    for (int d = 0; d < 10; ++d)
      items.push_back({"ID " + std::to_string(c) + "/" + std::to_string(d), sheet.IdBoxes[c][d]});
  for (const TSheetRow& row : sheet.Rows) {
    items.push_back({"number " + std::to_string(row.Position), row.Label});
    for (size_t b = 0; b < row.Boxes.size(); ++b)
      items.push_back({"box " + std::to_string(row.Position) + std::string(1, char('A' + b)), row.Boxes[b]});
  }
  for (const TSheetLabel& label : sheet.Labels) items.push_back({"label " + label.Text, label.Rect});
  return items;
}

std::vector<TPaperRect> Boxes(const TSheetLayout& sheet) {
  std::vector<TPaperRect> boxes;
  for (const auto& column : sheet.IdBoxes) boxes.insert(boxes.end(), column.begin(), column.end());
  for (const TSheetRow& row : sheet.Rows) boxes.insert(boxes.end(), row.Boxes.begin(), row.Boxes.end());
  return boxes;
}

struct TCase {
  const char* Name;
  TPaperSize Size;
  int IdDigits;
  std::vector<int> Answers;
};

std::vector<TCase> Cases() {
  std::vector<int> mixed(120);
  for (size_t i = 0; i < mixed.size(); ++i) mixed[i] = 2 + static_cast<int>(i % 7);
  return {
      {"A4, 250 x 8, 10 digits", TPaperSize::A4, 10, std::vector<int>(250, 8)},
      {"Letter, 250 x 8, 10 digits", TPaperSize::Letter, 10, std::vector<int>(250, 8)},
      {"A4, 250 x 4, no ID", TPaperSize::A4, 0, std::vector<int>(250, 4)},
      {"Letter, mixed answers, 1 digit", TPaperSize::Letter, 1, mixed},
      {"A4, 20 x 5, 6 digits", TPaperSize::A4, 6, std::vector<int>(20, 5)},
      {"A4, no questions", TPaperSize::A4, 6, {}},
  };
}

}  // namespace

TEST(SheetLayout, EverythingFitsAndNothingTouches) {
  const double minBox = MillimetresToPoints(4.0);
  const double gap = MillimetresToPoints(1.0);
  const double quiet = MillimetresToPoints(SheetQrQuietMm) - 0.01;
  for (const TCase& c : Cases()) {
    SCOPED_TRACE(c.Name);
    const auto sheets = LayoutAnswerSheets({c.Size, c.IdDigits}, c.Answers);
    ASSERT_FALSE(sheets.empty());
    for (const TSheetLayout& sheet : sheets) {
      SCOPED_TRACE("sheet " + std::to_string(sheet.Sheet));
      EXPECT_DOUBLE_EQ(sheet.Width, PageWidth(c.Size));
      EXPECT_DOUBLE_EQ(sheet.Height, PageHeight(c.Size));
      const TPaperRect bounds = CornerMarkBounds(sheet);
      EXPECT_TRUE(Inside(bounds, {0, 0, sheet.Width, sheet.Height}));
      for (const TPaperRect& box : Boxes(sheet)) {
        EXPECT_TRUE(Inside(box, bounds)) << box.X << "," << box.Y;
        EXPECT_GE(box.W, minBox);
        EXPECT_GE(box.H, minBox);
      }
      EXPECT_GE(sheet.Qr.W, MillimetresToPoints(22));
      EXPECT_DOUBLE_EQ(sheet.Qr.W, sheet.Qr.H);
      EXPECT_TRUE(Inside(sheet.Qr, bounds));
      // The QR sits top right, so a reader knows which way up the page is.
      EXPECT_GT(sheet.Qr.X, sheet.Width / 2);
      EXPECT_LT(sheet.Qr.Y, sheet.Height / 4);

      const auto items = Items(sheet);
      for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_TRUE(Inside(items[i].Rect, bounds)) << items[i].What;
        for (size_t j = i + 1; j < items.size(); ++j) {
          // Boxes keep a clear gap to everything; the QR its quiet zone.
          const bool qr = items[i].What == "QR" || items[j].What == "QR";
          const bool box = items[i].What.starts_with("box") || items[i].What.starts_with("ID") ||
                           items[j].What.starts_with("box") || items[j].What.starts_with("ID");
          const double margin = qr ? quiet : box ? gap : 0;
          EXPECT_FALSE(Overlap(items[i].Rect, items[j].Rect, margin)) << items[i].What << " and " << items[j].What;
        }
      }
    }
  }
}

TEST(SheetLayout, EveryQuestionOnceInOrderWithItsBoxes) {
  for (const TCase& c : Cases()) {
    SCOPED_TRACE(c.Name);
    const auto sheets = LayoutAnswerSheets({c.Size, c.IdDigits}, c.Answers);
    int next = 1;
    for (size_t s = 0; s < sheets.size(); ++s) {
      EXPECT_EQ(sheets[s].Sheet, static_cast<int>(s) + 1);
      EXPECT_EQ(sheets[s].SheetCount, static_cast<int>(sheets.size()));
      EXPECT_EQ(sheets[s].Size, c.Size);
      // A sheet after the first exists only because the rows need it.
      if (s > 0) {
        EXPECT_FALSE(sheets[s].Rows.empty());
      }
      for (const TSheetRow& row : sheets[s].Rows) {
        ASSERT_EQ(row.Position, next);
        EXPECT_EQ(row.Boxes.size(), static_cast<size_t>(c.Answers[next - 1]));
        // Boxes run A, B, ... left to right on one line, after the number.
        for (size_t b = 0; b < row.Boxes.size(); ++b) {
          EXPECT_DOUBLE_EQ(row.Boxes[b].Y, row.Label.Y);
          EXPECT_GT(row.Boxes[b].X, b ? row.Boxes[b - 1].X : row.Label.X);
        }
        ++next;
      }
    }
    EXPECT_EQ(next, static_cast<int>(c.Answers.size()) + 1);
  }
}

TEST(SheetLayout, FirstSheetCarriesNameAndIdGrid) {
  for (int digits : {0, 1, 6, 10}) {
    SCOPED_TRACE(digits);
    const auto sheets = LayoutAnswerSheets({TPaperSize::A4, digits}, std::vector<int>(250, 4));
    ASSERT_GE(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].IdBoxes.size(), static_cast<size_t>(digits));
    EXPECT_GE(sheets[0].NameLine.W, MillimetresToPoints(60));
    for (size_t s = 1; s < sheets.size(); ++s) {
      EXPECT_TRUE(sheets[s].IdBoxes.empty());
      EXPECT_EQ(sheets[s].NameLine, TPaperRect{});
    }
    // Digit columns side by side, the boxes 0..9 top to bottom.
    for (size_t c = 0; c < sheets[0].IdBoxes.size(); ++c)
      for (int d = 1; d < 10; ++d) {
        EXPECT_DOUBLE_EQ(sheets[0].IdBoxes[c][d].X, sheets[0].IdBoxes[c][0].X);
        EXPECT_GT(sheets[0].IdBoxes[c][d].Y, sheets[0].IdBoxes[c][d - 1].Y);
        if (c) {
          EXPECT_GT(sheets[0].IdBoxes[c][d].X, sheets[0].IdBoxes[c - 1][d].X);
        }
      }
  }
  // More digits than a grid can hold are cut to ten rather than run off the page.
  EXPECT_EQ(LayoutAnswerSheets({TPaperSize::A4, 40}, {4})[0].IdBoxes.size(), 10u);
}

TEST(SheetLayout, RowsPerSheet) {
  const struct {
    TPaperSize Size;
    int IdDigits, Questions, Answers;
    size_t Sheets;
  } cases[] = {
      {TPaperSize::A4, 6, 1, 4, 1},      {TPaperSize::A4, 6, 100, 4, 1},      {TPaperSize::A4, 6, 250, 4, 2},
      {TPaperSize::A4, 10, 250, 8, 3},   {TPaperSize::Letter, 10, 250, 8, 4}, {TPaperSize::A4, 0, 60, 8, 1},
      {TPaperSize::Letter, 6, 40, 5, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Questions) + " x " + std::to_string(c.Answers) + " " + PaperSizeName(c.Size));
    const auto sheets = LayoutAnswerSheets({c.Size, c.IdDigits}, std::vector<int>(c.Questions, c.Answers));
    EXPECT_EQ(sheets.size(), c.Sheets);
    // Full sheets before the last: no sheet is started while one has room.
    for (size_t s = 2; s < sheets.size(); ++s) {
      if (s + 1 < sheets.size()) {
        EXPECT_EQ(sheets[s].Rows.size(), sheets[1].Rows.size());
      }
      EXPECT_LE(sheets[s].Rows.size(), sheets[1].Rows.size());
    }
    size_t total = 0;
    for (const auto& sheet : sheets) total += sheet.Rows.size();
    EXPECT_EQ(total, static_cast<size_t>(c.Questions));
    // The ID grid takes room from the first sheet only.
    if (sheets.size() > 1 && c.IdDigits > 0) {
      EXPECT_LT(sheets[0].Rows.size(), sheets[1].Rows.size());
    }
  }
}

TEST(SheetLayout, PageSizes) {
  EXPECT_NEAR(PageWidth(TPaperSize::A4), 595.28, 0.01);
  EXPECT_NEAR(PageHeight(TPaperSize::A4), 841.89, 0.01);
  EXPECT_DOUBLE_EQ(PageWidth(TPaperSize::Letter), 612);
  EXPECT_DOUBLE_EQ(PageHeight(TPaperSize::Letter), 792);
  EXPECT_EQ(PaperSizeName(TPaperSize::A4), "A4");
  EXPECT_EQ(PaperSizeName(TPaperSize::Letter), "Letter");
}
