#pragma once
// Draws candidates' reports on a printer or a PDF writer, each report from
// the top of a new page, in the question papers' style: black on white,
// DejaVu Sans, a heading, then the lines wrapped to the page.

#include <QPagedPaintDevice>
#include <string>
#include <vector>

#include "session/core/CandidateReport.h"

namespace proctorium {

// False when nothing could be drawn on the device.
bool PrintReports(QPagedPaintDevice* device, const std::vector<std::vector<TReportLine>>& reports);

// The reports as a PDF file's bytes (A4); empty when it could not be made.
std::string ReportsPdf(const std::vector<std::vector<TReportLine>>& reports, const std::string& title);

}  // namespace proctorium
