#pragma once
// Places a picture box that holds a loaded picture inside its square panel.

namespace proctorium {

class TImage;

// p is the side of the square; the box's stretch flag and geometry follow
// FitPictureBox of the picture's natural size.
void FitPictureBox(TImage* box, int p);

}  // namespace proctorium
