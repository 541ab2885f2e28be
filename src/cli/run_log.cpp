#include "cli/run_log.h"

#include "base/text.h"
#include "outlook/failure_text.h"

namespace pelorin::cli {

namespace {

// A tab or line break inside a field becomes a space: one line per entry.
std::wstring oneLine(std::wstring text) {
    for (wchar_t& c : text)
        if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
    return text;
}

// The arguments as cmd would take them back: quoted when they hold a space.
std::wstring commandLine(const std::vector<std::wstring>& args) {
    std::wstring line = L"pelorin-cli";
    for (const std::wstring& arg : args) {
        const bool quote = arg.empty() || arg.find_first_of(L" \t") != std::wstring::npos;
        line += quote ? L" \"" + arg + L"\"" : L" " + arg;
    }
    return line;
}

}  // namespace

void RunLog::start(const std::wstring& version, const std::vector<std::wstring>& args) {
    write(L"start\t" + oneLine(place_.user()) + L"\t" + oneLine(place_.computer()) + L"\t" +
          oneLine(version) + L"\t" + oneLine(commandLine(args)));
}

void RunLog::file(const FileRecord& record) {
    std::wstring fields = resultLine(record);
    if (record.reason.empty()) fields += L"\t";
    fields += L"\t";
    if (record.hresult) fields += outlook::hresultText(record.hresult);
    write(fields);
}

void RunLog::end(int exitCode, const std::wstring& summary) {
    write(L"end\texit " + std::to_wstring(exitCode) + L"\t" + oneLine(summary));
}

// `fields` each on one line already. A log that fails part-way does not stop the run: the results
// still go to standard output and the report.
void RunLog::write(const std::wstring& fields) {
    if (file_) file_->append(toUtf8(oneLine(place_.now()) + L"\t" + fields + L"\r\n"));
}

}  // namespace pelorin::cli
