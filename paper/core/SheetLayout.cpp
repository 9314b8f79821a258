#include "paper/core/SheetLayout.h"

#include <algorithm>
#include <cmath>

namespace proctorium {

namespace {

// Gaps are generous on purpose: a tick that strays over its box must not
// reach the next one, and a scan a few degrees off must still put every box
// apart from its neighbours.
constexpr double kBoxGapMm = 2.0;       // between the boxes of one row
constexpr double kRowPitchMm = 7.5;     // from one row of boxes to the next
constexpr double kNumberWidthMm = 8.0;  // the question number before its boxes
constexpr double kColumnGapMm = 6.0;
constexpr double kMarkClearanceMm = 4.0;  // between the corner marks and anything else
constexpr double kLetterRowMm = 4.0;      // the A, B, ... over each column
constexpr double kIdPitchMm = 6.5;
constexpr double kIdDigitLabelMm = 4.0;
constexpr double kCaptionMm = 4.0;
constexpr double kNameCaptionMm = 12.0;
constexpr double kNameLineHeightMm = 8.0;
constexpr int kMaxIdDigits = 10;
constexpr int kMaxBoxes = 8;

struct TFrame {
  double Left, Right, Top, Bottom;
};

struct TSheetPlan {
  double RowsTop = 0;
  int RowsPerColumn = 0;
};

double Mm(double mm) { return MillimetresToPoints(mm); }

TFrame ContentFrame(double width, double height) {
  const double inset = Mm(SheetCornerInsetMm);
  const double mark = Mm(SheetCornerSizeMm);
  const double clear = Mm(kMarkClearanceMm);
  // Full width between the marks' outer edges, but below and above the rows
  // of marks, so that content never comes near a mark.
  return {inset, width - inset, inset + mark + clear, height - inset - mark - clear};
}

// Draws the fixed parts of a sheet (marks, title, QR, and on the first
// sheet the ID grid and name line) and returns where the question rows start.
double LayoutHeader(TSheetLayout& sheet, const TSheetOptions& options, bool first) {
  const double inset = Mm(SheetCornerInsetMm);
  const double mark = Mm(SheetCornerSizeMm);
  const double w = sheet.Width, h = sheet.Height;
  sheet.Corners = {TPaperRect{inset, inset, mark, mark}, TPaperRect{w - inset - mark, inset, mark, mark},
                   TPaperRect{w - inset - mark, h - inset - mark, mark, mark},
                   TPaperRect{inset, h - inset - mark, mark, mark}};
  const double clear = Mm(kMarkClearanceMm);
  sheet.Title = {inset + mark + clear, inset, w - 2 * (inset + mark + clear), mark};

  const TFrame frame = ContentFrame(w, h);
  const double qrSize = Mm(SheetQrSizeMm);
  const double quiet = Mm(SheetQrQuietMm);
  sheet.Qr = {frame.Right - qrSize, frame.Top, qrSize, qrSize};
  double bottom = sheet.Qr.Y + sheet.Qr.H + quiet;
  if (!first) return bottom;

  double nameLeft = frame.Left;
  const int digits = std::clamp(options.IdDigits, 0, kMaxIdDigits);
  if (digits > 0) {
    const double box = Mm(SheetBoxSizeMm);
    const double pitch = Mm(kIdPitchMm);
    const double gridLeft = frame.Left + Mm(kIdDigitLabelMm + 1);
    const double gridTop = frame.Top + Mm(kCaptionMm + 1);
    const double gridRight = gridLeft + (digits - 1) * pitch + box;
    sheet.Labels.push_back(
        {{frame.Left, frame.Top, std::max(gridRight - frame.Left, Mm(30)), Mm(kCaptionMm)}, "Candidate ID"});
    sheet.IdBoxes.resize(digits);
    for (int d = 0; d < 10; ++d) {
      const double y = gridTop + d * pitch;
      sheet.Labels.push_back({{frame.Left, y, Mm(kIdDigitLabelMm), box}, std::string(1, static_cast<char>('0' + d))});
      for (int c = 0; c < digits; ++c) sheet.IdBoxes[c][d] = {gridLeft + c * pitch, y, box, box};
    }
    bottom = std::max(bottom, gridTop + 9 * pitch + box + clear);
    nameLeft = std::max(gridRight, frame.Left + Mm(30)) + Mm(kColumnGapMm);
  }
  const double lineLeft = nameLeft + Mm(kNameCaptionMm);
  const double nameTop = frame.Top + Mm(kCaptionMm + 1);
  sheet.Labels.push_back(
      {{nameLeft, nameTop + Mm(kNameLineHeightMm - kCaptionMm - 1), Mm(kNameCaptionMm - 1), Mm(kCaptionMm)}, "Name"});
  sheet.NameLine = {lineLeft, nameTop, sheet.Qr.X - quiet - lineLeft, Mm(kNameLineHeightMm)};
  // How to mark, under the name where everyone looks first.
  double y = nameTop + sheet.NameLine.H + Mm(4);
  for (const char* line :
       {"Fill the boxes of your answers with a dark pen.", digits > 0 ? "Mark one digit in each ID column." : "",
        "Keep the corner squares and the code clean."}) {
    if (!*line) continue;
    sheet.Labels.push_back({{nameLeft, y, sheet.Qr.X - quiet - nameLeft, Mm(kCaptionMm)}, line});
    y += Mm(kCaptionMm + 1);
  }
  return std::max(bottom, std::max(y, nameTop + sheet.NameLine.H) + clear);
}

}  // namespace

double MillimetresToPoints(double mm) { return mm * 72.0 / 25.4; }

double PageWidth(TPaperSize size) { return size == TPaperSize::Letter ? 612.0 : 595.28; }
double PageHeight(TPaperSize size) { return size == TPaperSize::Letter ? 792.0 : 841.89; }
std::string PaperSizeName(TPaperSize size) { return size == TPaperSize::Letter ? "Letter" : "A4"; }

TPaperRect CornerMarkBounds(const TSheetLayout& layout) {
  const TPaperRect& tl = layout.Corners[0];
  const TPaperRect& br = layout.Corners[2];
  return {tl.X, tl.Y, br.X + br.W - tl.X, br.Y + br.H - tl.Y};
}

std::vector<TSheetLayout> LayoutAnswerSheets(const TSheetOptions& options, const std::vector<int>& answersPerQuestion) {
  const double width = PageWidth(options.Size), height = PageHeight(options.Size);
  const TFrame frame = ContentFrame(width, height);
  const double box = Mm(SheetBoxSizeMm);
  const double boxPitch = box + Mm(kBoxGapMm);
  const double rowPitch = Mm(kRowPitchMm);

  // Every column is as wide as the widest row of the version, so that the
  // columns line up from one sheet to the next.
  int widest = 2;
  for (int n : answersPerQuestion) widest = std::max(widest, std::clamp(n, 1, kMaxBoxes));
  const double columnWidth = Mm(kNumberWidthMm) + (widest - 1) * boxPitch + box;
  const double columnPitch = columnWidth + Mm(kColumnGapMm);
  const int columns =
      std::max(1, static_cast<int>(std::floor((frame.Right - frame.Left + Mm(kColumnGapMm)) / columnPitch)));

  auto newSheet = [&](bool first) {
    TSheetLayout sheet;
    sheet.Size = options.Size;
    sheet.Width = width;
    sheet.Height = height;
    const double rowsTop = LayoutHeader(sheet, options, first) + Mm(kLetterRowMm);
    const int rows = std::max(1, static_cast<int>(std::floor((frame.Bottom - rowsTop - box) / rowPitch)) + 1);
    return std::pair{sheet, TSheetPlan{rowsTop, rows}};
  };

  std::vector<TSheetLayout> sheets;
  const int count = static_cast<int>(answersPerQuestion.size());
  int placed = 0;
  do {
    auto [sheet, plan] = newSheet(sheets.empty());
    const int capacity = plan.RowsPerColumn * columns;
    const int onSheet = std::min(capacity, count - placed);
    // Down each column, then across: the order people read a form in.
    for (int i = 0; i < onSheet; ++i) {
      const int column = i / plan.RowsPerColumn, line = i % plan.RowsPerColumn;
      const double x = frame.Left + column * columnPitch;
      const double y = plan.RowsTop + line * rowPitch;
      TSheetRow row;
      row.Position = placed + i + 1;
      row.Label = {x, y, Mm(kNumberWidthMm - 1.5), box};
      const int boxes = std::clamp(answersPerQuestion[placed + i], 1, kMaxBoxes);
      for (int b = 0; b < boxes; ++b) row.Boxes.push_back({x + Mm(kNumberWidthMm) + b * boxPitch, y, box, box});
      sheet.Rows.push_back(std::move(row));
    }
    // Letters over each column that has rows, as many as its widest row.
    for (int column = 0; column * plan.RowsPerColumn < onSheet; ++column) {
      size_t most = 0;
      for (int i = column * plan.RowsPerColumn; i < std::min(onSheet, (column + 1) * plan.RowsPerColumn); ++i)
        most = std::max(most, sheet.Rows[i].Boxes.size());
      const double x = frame.Left + column * columnPitch + Mm(kNumberWidthMm);
      for (size_t b = 0; b < most; ++b) {
        sheet.Labels.push_back({{x + b * boxPitch, plan.RowsTop - Mm(kLetterRowMm), box, Mm(kLetterRowMm - 1)},
                                std::string(1, static_cast<char>('A' + b))});
      }
    }
    placed += onSheet;
    sheets.push_back(std::move(sheet));
  } while (placed < count);

  for (size_t i = 0; i < sheets.size(); ++i) {
    sheets[i].Sheet = static_cast<int>(i) + 1;
    sheets[i].SheetCount = static_cast<int>(sheets.size());
  }
  return sheets;
}

}  // namespace proctorium
