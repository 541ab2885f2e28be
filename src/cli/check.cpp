// The verdict of `check` on one file, from what pst/file_facts.h finds.
#include "cli/file_facts.h"

namespace pelorin::cli {

FileRecord checkRecord(const std::wstring& path, const FileFacts& facts) {
    FileRecord record{path, Result::Problem};
    if (!facts.exists) {
        record.reason = L"file not found";
        return record;
    }
    record.size = facts.size;
    record.format = pst::formatOf(facts);
    const pst::FileVerdict verdict = pst::judgeFile(facts);
    record.result = !verdict.problems.empty()   ? Result::Problem
                    : !verdict.warnings.empty() ? Result::Warning
                                                : Result::Ok;
    record.reason = verdict.problems;
    if (!verdict.warnings.empty())
        record.reason += (record.reason.empty() ? L"" : L"; ") + verdict.warnings;
    return record;
}

}  // namespace pelorin::cli
