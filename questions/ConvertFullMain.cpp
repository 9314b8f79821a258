// proctorium-convert-full: the converter with the toolkit, for what the
// plain proctorium-convert hands on to it (PDF, pictures, other modes).
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "questions/Converter.h"
#include "questions/QuietMessages.h"

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const proctorium::TConverterMode mode = proctorium::ConverterModeOf(args);
  // stderr carries the listing of skipped and changed questions, which
  // scripts read line by line: the toolkit's start-up warnings stay out.
  const proctorium::TQuietMessages quiet;
  // Text formats are converted in a fraction of the time a GUI application
  // takes to start: only a run that paints or decodes pictures pays for it.
  std::unique_ptr<QCoreApplication> app;
  if (mode.NeedsGui) {
    // PDF needs fonts, not a screen: run without one unless told otherwise.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform || !*platform) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  return mode.Run(args, std::cerr);
}
