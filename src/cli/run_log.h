// The help desk's log (--log FILE): appended to, never replaced. One line
// when a run starts (time, user, computer, version, command line), one per
// file (time, result, path, reason, HRESULT) and one when it ends (time,
// exit code, summary), TAB-separated, UTF-8 without a byte-order mark. Each
// line is one write to a file opened for appending, so two runs writing at
// once never mix within a line. Portable; Win32: run_log_win.cpp.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "cli/records.h"
#include "cli/report_file.h"

namespace pelorin::cli {

class LogPlace {
public:
    virtual ~LogPlace() = default;
    // The file opened for appending (created when missing), shared with
    // other writers and readers; nothing when it cannot be written.
    virtual std::unique_ptr<OutputFile> openAppend(const std::wstring& path) = 0;
    virtual std::wstring now() = 0;  // ISO 8601 with the offset: 2026-12-07T21:35:25+01:00
    virtual std::wstring user() = 0;
    virtual std::wstring computer() = 0;
};

class RunLog {
public:
    RunLog(LogPlace& place, std::unique_ptr<OutputFile> file)
        : place_(place), file_(std::move(file)) {}
    void start(const std::wstring& version, const std::vector<std::wstring>& args);
    void file(const FileRecord& record);
    void end(int exitCode, const std::wstring& summary);

private:
    void write(const std::wstring& fields);
    LogPlace& place_;
    std::unique_ptr<OutputFile> file_;
};

}  // namespace pelorin::cli
