#pragma once
// Whether a box on a scanned sheet is marked. The reader samples the inside
// of each box on a small grid (the printed outline left out) and turns each
// sample into a darkness relative to the page itself: 0 is this page's
// paper, 1 is this page's printed corner marks. Pencil on a grey scan and
// pen on a bright one are then judged alike.
//
// The rule, as a teacher can check it on the review screen:
//  - Marked: ink covers at least an eighth of the inside. A solid fill, a
//    cross, a tick and a light pencil fill all do, and so does a fill that
//    has been scribbled over (a cancelled answer is not guessed at: the
//    teacher sees the box and corrects it if the candidate meant otherwise).
//  - Empty: practically nothing inside: no speck of ink, and on average no
//    more than the faint grey an eraser leaves behind (0.15).
//  - Doubtful: everything in between (a half-erased mark, a stray line
//    through a corner, a coffee ring over the box): never guessed.
// Two marks in one row are just read; scoring decides what they are worth.

#include <vector>

#include "paper/core/PageReading.h"

namespace proctorium {

// The two tones a page is measured against, as grey levels 0..255.
struct TPageContrast {
  double Paper = 255;
  double Ink = 0;
  // Too flat a page (a blank or grey sheet, a failed scan) cannot be read.
  bool Usable() const { return Paper - Ink >= 60; }
  // 0 for paper, 1 for printed ink; clamped.
  double Darkness(double grey) const;
};

// Darkness at or above which a sample counts as ink: pencil pressed lightly
// reaches it, the residue of an eraser does not.
inline constexpr double kInkLevel = 0.22;
inline constexpr double kStrongLevel = 0.55;

struct TBoxMeasure {
  double Cover = 0;   // share of the inside at kInkLevel or darker
  double Strong = 0;  // share at kStrongLevel or darker
  double Mean = 0;    // mean darkness of the inside
  double Centre = 0;  // share of the middle third at kInkLevel or darker
  int Strokes = 0;    // most separate inked runs met along a middle line
};

// Measures a grid of darkness values (row by row, `cols` to a row).
TBoxMeasure MeasureBox(const std::vector<double>& darkness, int cols);

TBoxMark DecideMark(const TBoxMeasure& m);

}  // namespace proctorium
