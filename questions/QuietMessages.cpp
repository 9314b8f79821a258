#include "questions/QuietMessages.h"

namespace proctorium {

namespace {
// The innermost living one; messages come in on the thread that decodes.
thread_local TQuietMessages* Current = nullptr;
QtMessageHandler Outermost = nullptr;
}  // namespace

TQuietMessages::TQuietMessages() : Outer_(Current) {
  Current = this;
  Previous_ = qInstallMessageHandler(&TQuietMessages::Handle);
  if (!Outer_) Outermost = Previous_;
}

TQuietMessages::~TQuietMessages() {
  qInstallMessageHandler(Previous_);
  Current = Outer_;
}

void TQuietMessages::Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (Current && (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)) {
    ++Current->Dropped_;
    return;
  }
  if (Outermost)
    Outermost(type, context, message);
  else
    qt_message_output(type, context, message);
}

}  // namespace proctorium
