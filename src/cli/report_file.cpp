#include "cli/report_file.h"

namespace pelorin::cli {

namespace {

std::wstring folded(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

// The folder part of a full path; empty when it has none.
std::wstring parentOf(const std::wstring& path) {
    const std::size_t last = path.find_last_of(L"\\/");
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last);
}

bool isEarlierReport(const FileFacts& facts) {
    std::string head(facts.head.begin(), facts.head.end());
    if (head.starts_with("\xEF\xBB\xBF")) head.erase(0, 3);
    const std::string header = csvHeader();
    return head.starts_with(header) && (head.size() == header.size() ||
                                        head[header.size()] == '\r' || head[header.size()] == '\n');
}

}  // namespace

std::wstring reportTargetProblem(const std::wstring& target,
                                 const std::vector<std::wstring>& inputs, FileProbe& probe,
                                 scan::FileSystem& fs) {
    const std::wstring full = probe.fullPath(target);
    const std::wstring name = L"--report " + target;
    if (fs.folderExists(full)) return name + L" is a folder; name a .csv file";
    const std::wstring lower = folded(full);
    if (lower.ends_with(L".pst") || lower.ends_with(L".ost"))
        return name + L" names a PST or OST file; name a .csv file";
    for (const std::wstring& input : inputs)
        if (probe.samePath(full, input)) return name + L" is also named as input";
    const FileFacts facts = probe.facts(full);
    if (facts.exists && !isEarlierReport(facts))
        return name + L" exists and is not an earlier report; it is left as it is";
    return {};
}

std::variant<std::unique_ptr<ReportWriter>, std::wstring> ReportWriter::open(
    ReportFiles& files, const std::wstring& target) {
    const std::wstring folder = parentOf(target);
    if (!folder.empty() && !files.makeFolders(folder))
        return L"cannot create the folder " + folder + L" for the report";
    std::unique_ptr<OutputFile> file = files.create(target + L".partial");
    if (!file || !file->append("\xEF\xBB\xBF" + csvHeader() + "\r\n")) {
        if (file) {
            file.reset();
            files.remove(target + L".partial");
        }
        return L"cannot write the report " + target + L".partial";
    }
    return std::make_unique<ReportWriter>(files, target, std::move(file));
}

ReportWriter::ReportWriter(ReportFiles& files, std::wstring target,
                           std::unique_ptr<OutputFile> file)
    : files_(files),
      target_(std::move(target)),
      partial_(target_ + L".partial"),
      file_(std::move(file)) {}

void ReportWriter::add(const FileRecord& record) {
    if (!writeFailed_ && !file_->append(csvRow(record) + "\r\n")) writeFailed_ = true;
}

std::wstring ReportWriter::commit() {
    const bool written = file_->close() && !writeFailed_;
    file_.reset();
    if (!written) {
        files_.remove(partial_);
        return L"cannot write the report " + partial_ + L"; " + target_ + L" is left as it was";
    }
    if (!files_.replace(partial_, target_))
        return L"cannot replace the report " + target_ + L" (is it open in another program?); " +
               L"this run's report is " + partial_;
    return {};
}

}  // namespace pelorin::cli
