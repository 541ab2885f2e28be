// The CSV report (--report) on disk. The rows go to REPORT.partial beside
// the target as they come, and the finished file is moved over the target at
// the end: a run that stops part-way, or a write that fails, leaves an
// earlier report whole. The target is checked before the run starts, so a
// forgotten name never replaces a PST or a file the run reads. Portable; the
// files are reached through ReportFiles (Win32: report_file_win.cpp).
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/file_facts.h"
#include "cli/records.h"
#include "scan/filesystem.h"

namespace pelorin::cli {

class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual bool append(std::string_view bytes) = 0;
    virtual bool close() = 0;  // false when the last bytes could not be written
};

class ReportFiles {
public:
    virtual ~ReportFiles() = default;
    // Creates the folder and any missing parents; false when it cannot.
    virtual bool makeFolders(const std::wstring& folder) = 0;
    // A new, empty file (replacing one of that name); nothing when it cannot.
    virtual std::unique_ptr<OutputFile> create(const std::wstring& path) = 0;
    // Moves `from` over `to`, replacing it; false when it cannot.
    virtual bool replace(const std::wstring& from, const std::wstring& to) = 0;
    virtual void remove(const std::wstring& path) = 0;
};

// What the target must not be, with `inputs` the list file and the paths
// named: a folder, a PST or OST, one of the inputs, or an existing file that
// is not an earlier report. The message for a usage error; empty when fine.
std::wstring reportTargetProblem(const std::wstring& target,
                                 const std::vector<std::wstring>& inputs, FileProbe& probe,
                                 scan::FileSystem& fs);

class ReportWriter {
public:
    // Creates the target's missing folders and TARGET.partial with the
    // header row; the message for a usage error when that fails.
    static std::variant<std::unique_ptr<ReportWriter>, std::wstring> open(
        ReportFiles& files, const std::wstring& target);

    void add(const FileRecord& record);  // appends the record's row
    // Moves the finished .partial over the target. Empty when done, else
    // what went wrong and where the rows are, for standard error.
    std::wstring commit();

    ReportWriter(ReportFiles& files, std::wstring target, std::unique_ptr<OutputFile> file);

private:
    ReportFiles& files_;
    std::wstring target_, partial_;
    std::unique_ptr<OutputFile> file_;
    bool writeFailed_ = false;
};

}  // namespace pelorin::cli
