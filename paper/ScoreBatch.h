#pragma once
// proctorium-convert --score JOB SCANS... OUT.csv: reads and scores a batch
// of scanned answer sheets into a table, for scripts. The logs are never
// touched: only the review window saves paper tests.

#include <QStringList>
#include <ostream>

#include "paper/ScoreScans.h"

namespace proctorium {

// args: JOB SCANS... OUT.csv. Exit code 0 when the table was written, 1 when
// the job could not be read or the table not written, 2 for wrong use.
// Every page that was not scored is also named on err. read is the scan
// reader unless a test gives a stand-in.
int RunScoreBatch(const QStringList& args, std::ostream& err, const TScanFileReader& read = {});

}  // namespace proctorium
