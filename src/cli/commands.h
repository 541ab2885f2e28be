// The four commands over a list of files, each giving one record per file
// (per store for list). Outlook is reached only through OutlookProfile.
#pragma once
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/console.h"
#include "cli/file_facts.h"
#include "cli/json_lines.h"
#include "cli/outlook_profile.h"
#include "cli/records.h"
#include "cli/report_file.h"
#include "cli/run_log.h"

namespace pelorin::cli {

// How the result lines are written: TAB lines or JSON objects (--json), and
// under --quiet only those that failed or have a problem, with no progress.
struct LineStyle {
    bool json = false, quiet = false;
    bool shows(Result result) const {
        return !quiet || (isBad(result) && result != Result::Stopped);
    }
};

// Writes each record's line, its report row and its log line as it is made, with
// progress before each file.
class Reporter {
public:
    Reporter(Console& console, int total, ReportWriter* report = nullptr, RunLog* log = nullptr,
             LineStyle style = {})
        : console_(console), total_(total), report_(report), log_(log), style_(style) {}
    void starting(const std::wstring& path) {
        ++index_;
        if (!style_.quiet) console_.progress(index_, total_, path);
    }
    void done(FileRecord record) {
        if (style_.shows(record.result))
            console_.out(style_.json ? jsonRecord(record) : resultLine(record));
        if (report_) report_->add(record);
        if (log_) log_->file(record);
        records_.push_back(std::move(record));
    }
    std::vector<FileRecord>& records() { return records_; }

private:
    Console& console_;
    int total_;
    ReportWriter* report_;
    RunLog* log_;
    LineStyle style_;
    int index_ = 0;
    std::vector<FileRecord> records_;
};

// For each file in order: missing -> failed (whatever the profile holds); a
// name ending in a space or a dot -> failed; already a store -> already;
// refused by its facts (pst::attachRefusal) -> failed; otherwise added (not
// under --dry-run), with its warnings as the reason. Without --continue the
// files after the first failure are skipped.
void attachFiles(const Options& options, const std::vector<std::wstring>& files,
                 OutlookProfile& profile, FileProbe& probe, Reporter& reporter);

// Removes the stores of the named files (every PST store under --all, the
// PST stores whose file is gone under --missing); the default store is never
// removed, and none when Outlook does not say which store is the default.
void detachFiles(const Options& options, const std::vector<std::wstring>& files,
                 OutlookProfile& profile, FileProbe& probe, Reporter& reporter);

// One record per store (store_health.h): ok, missing or damaged.
void listStores(OutlookProfile& profile, FileProbe& probe, Reporter& reporter);

void checkFiles(const std::vector<std::wstring>& files, FileProbe& probe, Reporter& reporter);

}  // namespace pelorin::cli
