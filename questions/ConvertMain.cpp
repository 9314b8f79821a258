// proctorium-convert: the scripting path between question sets and the
// formats of other systems.
#include <QGuiApplication>
#include <cstdlib>
#include <iostream>

#include "questions/Converter.h"

int main(int argc, char** argv) {
  // PDF needs fonts, not a screen: run without one unless told otherwise.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  return proctorium::RunConverter(app.arguments().mid(1), std::cerr);
}
