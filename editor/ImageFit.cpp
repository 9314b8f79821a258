#include "editor/ImageFit.h"

#include "base/Image.h"
#include "editor/core/PictureFit.h"

namespace proctorium {

void FitPictureBox(TImage* box, int p) {
  const TPictureFit fit = FitPictureBox(box->Picture().width(), box->Picture().height(), p);
  box->SetStretch(fit.Stretch);
  box->setGeometry(fit.Left, fit.Top, fit.Width, fit.Height);
}

}  // namespace proctorium
