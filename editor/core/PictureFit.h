#pragma once
// Fitting a picture into a square panel: the arithmetic shared by the
// editor's thumbnail and the exhibit picker's preview.

namespace proctorium {

struct TPictureFit {
  bool Stretch = false;  // scale the picture to the box instead of natural size
  int Left = 1;          // box position within the panel
  int Top = 1;
  int Width = 0;
  int Height = 0;
};

// A picture of width x height in a square of side p. The box keeps the
// picture's proportions with its longer side p, centred with the panel's
// one-pixel frame taken into account. A picture with no area (width or
// height 0 or less) gets the whole square, unstretched, so nothing divides
// by zero and the panel simply shows nothing.
TPictureFit FitPictureBox(int width, int height, int p);

}  // namespace proctorium
