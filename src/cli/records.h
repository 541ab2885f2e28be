// What pelorin-cli says about each file: its result, why, and what it knows
// of the file; the summary line and the exit code over a whole run; the CSV
// report. Portable.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelorin::cli {

// Exit codes, stable for scripts (and listed by --help).
enum ExitCode : int {
    kExitOk = 0,         // every file attached, already attached, detached or ok
    kExitFailed = 1,     // a file failed or has a problem, a folder or the report failed
    kExitUsage = 2,      // unknown option, no paths, list file or report target refused
    kExitNoOutlook = 3,  // Outlook unavailable
};

// Stopped: the program gave up waiting for Outlook, which may still add the file.
// Missing and Damaged: a store of the profile whose file is gone or unsound (list).
enum class Result {
    Attached,
    Already,
    Failed,
    Skipped,
    Detached,
    Ok,
    Warning,
    Problem,
    Stopped,
    Missing,
    Damaged
};

const wchar_t* resultName(Result result);

// Whether the result makes the run end with exit code 1 (and is shown under --quiet).
bool isBad(Result result);

struct FileRecord {
    FileRecord() = default;
    explicit FileRecord(std::wstring path, Result result = Result::Ok, std::wstring reason = {})
        : path(std::move(path)), result(result), reason(std::move(reason)) {}

    std::wstring path;
    Result result = Result::Ok;
    std::wstring reason;
    std::optional<std::int64_t> size;  // bytes, when the file could be measured
    std::wstring format;               // "Unicode PST", "ANSI PST", "OST", ...
    std::int32_t hresult = 0;          // Outlook's, when a call failed
};

// RESULT<TAB>PATH[<TAB>REASON]; a tab or line break inside a field (Outlook's
// own descriptions hold them) becomes a space, so each file is one line.
std::wstring resultLine(const FileRecord& record);

// 1 when any record isBad, else 0.
int exitCodeOf(const std::vector<FileRecord>& records);

// "3 of 5 attached, 1 already in Outlook, 1 failed" and its kin.
enum class Command { Attach, Detach, List, Check };
std::wstring summaryText(Command command, const std::vector<FileRecord>& records,
                         bool dryRun = false);

// One CSV field as RFC 4180 quotes it: in double quotes, inner quotes
// doubled, when it holds a comma, a quote, a line break or outer spaces. A
// field a spreadsheet would take for a formula (starting with '=', '+', '-',
// '@', a tab or a carriage return) gets a leading apostrophe first.
std::wstring csvField(const std::wstring& text);

// The header row and one record's row, in UTF-8, without the line end.
std::string csvHeader();
std::string csvRow(const FileRecord& record);

}  // namespace pelorin::cli
