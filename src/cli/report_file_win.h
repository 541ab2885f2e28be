// The report's files on Windows: folders made, REPORT.partial written, and
// moved over the target with MoveFileExW; the log appended to.
#pragma once
#include <memory>

#include "cli/report_file.h"
#include "cli/run_log.h"

namespace pelorin::cli {

std::unique_ptr<ReportFiles> makeWin32ReportFiles();
std::unique_ptr<LogPlace> makeWin32LogPlace();

}  // namespace pelorin::cli
