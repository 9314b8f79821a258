#pragma once
// proctorium-convert --paper SET [--versions N] [--seed S] [--id-digits D]
// [--page A4|Letter] OUTDIR: the start window's "Paper versions…" for
// scripts.

#include <QStringList>
#include <ostream>

namespace proctorium {

// args without the leading "--paper". Writes the job file beside the set
// (where scoring looks for it) and the PDFs into OUTDIR; names the job file
// on err. Exit code 0 done, 1 the set was refused or a file could not be
// written, 2 wrong use.
int RunPaperConvert(const QStringList& args, std::ostream& err);

}  // namespace proctorium
