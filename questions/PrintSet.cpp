#include "questions/PrintSet.h"

#include <QFile>
#include <QImage>
#include <QPrintDialog>
#include <QPrinter>

#include "base/AnsiText.h"
#include "base/FileDialogs.h"
#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "base/ProgramFolder.h"
#include "base/core/FileIO.h"
#include "base/core/PathResolver.h"
#include "questions/Converter.h"
#include "questions/PaperPrinter.h"
#include "questions/core/ExhibitText.h"

namespace proctorium {

void PrintSetFile(QWidget* parent, const std::string& setFile, bool answerKey, bool pdf) {
  if (setFile.empty()) return;
  Guarded([&] {
    TQuestionSet set;
    set.LoadFromFile(setFile);
    std::string title = ExtractFileName(setFile);
    if (const size_t dot = title.rfind('.'); dot != std::string::npos && dot > 0) title.resize(dot);
    auto exhibit = [](const std::string& stored) { return QImage(QString::fromStdString(PicturePath(stored))); };
    auto describe = [](const std::string& stored) {
      return FromAnsi(ReadExhibitText(PicturePath(stored))).toStdString();
    };
    if (pdf) {
      const QString suggested =
          QString::fromStdString(title) + (answerKey ? QStringLiteral(" key.pdf") : QStringLiteral(".pdf"));
      ExportFile(
          parent,
          answerKey ? QStringLiteral("Export answer key as PDF") : QStringLiteral("Export question paper as PDF"),
          suggested, QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"), [&](const std::string& file) {
            const std::string bytes = SheetPdf(set, answerKey, title, exhibit, describe);
            if (bytes.empty()) throw EFileError("Cannot create file " + file);
            WriteOutputFile(file, bytes);
          });
      return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(title));
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    if (ExecModal(&dialog) != QDialog::Accepted) return;
    // Printed to a file, the driver writes it as it goes: into a temporary
    // file beside it, so a cut-off printout never takes the file's name.
    const std::string target = printer.outputFileName().toStdString();
    std::string temporary;
    if (!target.empty()) {
      RemoveStaleTemporaryFiles(ExtractFilePath(target), StaleTemporaryFileAgeSeconds);
      temporary = TemporaryNameBeside(target);
      printer.setOutputFileName(QString::fromStdString(temporary));
    }
    if (!PrintSheet(&printer, set, answerKey ? TSheetKind::AnswerKey : TSheetKind::QuestionPaper, title, exhibit,
                    describe)) {
      if (!temporary.empty()) QFile::remove(QString::fromStdString(temporary));
      throw EFileError(target.empty() ? "Cannot print " + title : "Cannot create file " + target);
    }
    if (!temporary.empty()) RenameTemporary(temporary, target);
  });
}

}  // namespace proctorium
