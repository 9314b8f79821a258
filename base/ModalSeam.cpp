#include "base/ModalSeam.h"

#include <QDialog>

namespace proctorium {

namespace {

TModalHook& Hook() {
  static TModalHook hook;
  return hook;
}

}  // namespace

void SetModalHook(TModalHook hook) { Hook() = std::move(hook); }

int ExecModal(QDialog* dlg) {
  if (Hook()) {
    dlg->setResult(0);
    dlg->show();
    int result = Hook()(dlg);
    if (dlg->isVisible()) dlg->hide();
    return result;
  }
  return dlg->exec();
}

}  // namespace proctorium
