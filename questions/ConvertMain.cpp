// proctorium-convert: the scripting path between question sets and the
// formats of other systems.
#include <QGuiApplication>
#include <cstdlib>
#include <iostream>

#include "questions/Converter.h"
#include "questions/QuietMessages.h"

int main(int argc, char** argv) {
  // PDF needs fonts, not a screen: run without one unless told otherwise.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // stderr carries the listing of skipped and changed questions, which
  // scripts read line by line: the toolkit's start-up warnings stay out.
  const proctorium::TQuietMessages quiet;
  QGuiApplication app(argc, argv);
  return proctorium::RunConverter(app.arguments().mid(1), std::cerr);
}
