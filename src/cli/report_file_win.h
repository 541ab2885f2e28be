// The report's files on Windows: folders made, REPORT.partial written, and
// moved over the target with MoveFileExW.
#pragma once
#include <memory>

#include "cli/report_file.h"

namespace pelorin::cli {

std::unique_ptr<ReportFiles> makeWin32ReportFiles();

}  // namespace pelorin::cli
