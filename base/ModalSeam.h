#pragma once
// Every modal window is run through ExecModal, so tests can drive the
// window while it is "modal" instead of blocking in its event loop.

#include <functional>

class QDialog;

namespace proctorium {

// Shows dlg modally and returns its result (TModalResult values).
int ExecModal(QDialog* dlg);

// With a hook installed, ExecModal shows the window without blocking,
// hands it to the hook and returns what the hook returns.
using TModalHook = std::function<int(QDialog* dlg)>;
void SetModalHook(TModalHook hook);

}  // namespace proctorium
