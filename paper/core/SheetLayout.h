#pragma once
// Where everything sits on a printed answer sheet. Printing draws from it,
// the scan reader measures from it and the job file records it, so a sheet
// printed today is read with the very rectangles it was printed with.
//
// Page units are points (1/72 inch), measured from the page's top-left
// corner with y running down the page.

#include <array>
#include <string>
#include <vector>

namespace proctorium {

struct TPaperRect {
  double X = 0, Y = 0, W = 0, H = 0;
  bool operator==(const TPaperRect&) const = default;
};

enum class TPaperSize { A4, Letter };

double PageWidth(TPaperSize size);           // 595.28 for A4, 612 for Letter
double PageHeight(TPaperSize size);          // 841.89 for A4, 792 for Letter
std::string PaperSizeName(TPaperSize size);  // "A4", "Letter"

struct TSheetOptions {
  TPaperSize Size = TPaperSize::A4;
  int IdDigits = 6;  // 0 leaves the ID grid off the sheet
  bool operator==(const TSheetOptions&) const = default;
};

// One question's row of boxes: as many boxes as the question has answers,
// in the version's answer order (box 0 is the printed A).
struct TSheetRow {
  int Position = 0;  // the question's number on the version's paper, from 1
  TPaperRect Label;  // where the number is printed
  std::vector<TPaperRect> Boxes;
  bool operator==(const TSheetRow&) const = default;
};

// A printed text that is not read back: column letters, digit labels, the
// "Name" caption. The painter fits the text into Rect.
struct TSheetLabel {
  TPaperRect Rect;
  std::string Text;
  bool operator==(const TSheetLabel&) const = default;
};

struct TSheetLayout {
  TPaperSize Size = TPaperSize::A4;
  double Width = 0, Height = 0;
  int Sheet = 1;  // this sheet's number within its version, from 1
  int SheetCount = 1;
  // Solid squares: top-left, top-right, bottom-right, bottom-left.
  std::array<TPaperRect, 4> Corners{};
  TPaperRect Qr;
  TPaperRect NameLine;  // the first sheet of a version only; empty after
  // One column per ID digit, each with the boxes for 0 to 9 (first sheet).
  std::vector<std::array<TPaperRect, 10>> IdBoxes;
  std::vector<TSheetRow> Rows;
  // Between the top corner marks: version and sheet number for the people
  // who sort the stack.
  TPaperRect Title;
  std::vector<TSheetLabel> Labels;
  bool operator==(const TSheetLayout&) const = default;
};

// The sheets for one version: answersPerQuestion[i] is the number of answers
// (2 to 8) of the question printed at position i + 1. As many sheets as
// the rows need; every box lies inside the rectangle the corner marks span.
// Sizes the reader and the tests rely on, in points.
double MillimetresToPoints(double mm);
inline constexpr double SheetBoxSizeMm = 4.5;
inline constexpr double SheetCornerSizeMm = 7.0;
inline constexpr double SheetCornerInsetMm = 10.0;
inline constexpr double SheetQrSizeMm = 24.0;
// Clear space kept round the QR code, wider than the four modules a
// reader needs.
inline constexpr double SheetQrQuietMm = 4.0;
// The rectangle spanned by the corner marks' outer edges.
TPaperRect CornerMarkBounds(const TSheetLayout& layout);

std::vector<TSheetLayout> LayoutAnswerSheets(const TSheetOptions& options, const std::vector<int>& answersPerQuestion);

}  // namespace proctorium
