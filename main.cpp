#include <QApplication>

#include "app/Startup.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Proctorium"));
  return proctorium::RunProctorium(proctorium::ExecutableFolder());
}
