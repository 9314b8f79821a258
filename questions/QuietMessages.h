#pragma once
// Keeps the toolkit's own chatter out of what the program tells the
// teacher: while one lives, debug, information and warning messages from
// the toolkit and its plug-ins ("libpng warning: iCCP: ...", "QStandardPaths:
// ...") are counted and dropped instead of being printed between the lines
// of an import listing. Critical and fatal ones pass on as before.

#include <QtGlobal>

namespace proctorium {

class TQuietMessages {
 public:
  TQuietMessages();
  ~TQuietMessages();
  TQuietMessages(const TQuietMessages&) = delete;
  TQuietMessages& operator=(const TQuietMessages&) = delete;

  // Messages dropped while this one lived.
  int Dropped() const { return Dropped_; }

 private:
  static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message);
  QtMessageHandler Previous_ = nullptr;
  TQuietMessages* Outer_ = nullptr;
  int Dropped_ = 0;
};

}  // namespace proctorium
