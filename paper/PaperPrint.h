#pragma once
// Printing a set as paper versions: for each version the question paper,
// the answer key and the answer sheets as PDFs, and the job file that the
// scanned sheets are scored against later.

#include <QImage>
#include <functional>
#include <string>
#include <vector>

#include "paper/core/PaperJob.h"

class QWidget;

namespace proctorium {

// The answer sheets of one version as a PDF (bytes), the page size the
// job's; empty when nothing could be drawn.
std::string AnswerSheetsPdf(const TPaperJob& job, const TPaperVersion& version, const std::string& title);

struct TPaperFiles {
  std::string JobFile;
  std::vector<std::string> Pdfs;  // version by version: questions, key, sheets
};

// "<title> A questions.pdf", "<title> A key.pdf", "<title> A sheets.pdf".
std::string PaperPdfName(const std::string& title, char version, const std::string& kind);

// Writes the job file (first: papers without it could never be scored),
// then the PDFs into pdfFolder, each through a temporary file renamed when
// complete. Throws EFileError naming the file that failed.
TPaperFiles WritePaperVersions(const TPaperJob& job, const TQuestionSet& set, const std::string& title,
                               const std::string& jobFile, const std::string& pdfFolder,
                               const std::function<QImage(const std::string&)>& exhibit,
                               const std::function<std::string(const std::string&)>& describe = {});

// The start window's "Paper versions…": asks for the versions and a folder
// for the PDFs, writes the job file beside the set in Tests and the PDFs in
// the folder, and says where. Errors are shown.
void PrintPaperVersions(QWidget* parent, const std::string& setFile);

}  // namespace proctorium
