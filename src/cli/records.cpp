#include "cli/records.h"

#include <string_view>

#include "base/text.h"
#include "outlook/failure_text.h"

namespace pelorin::cli {

namespace {

int countOf(const std::vector<FileRecord>& records, Result result) {
    int n = 0;
    for (const FileRecord& r : records) n += r.result == result;
    return n;
}

// ", 2 failed" when there are any; nothing otherwise.
std::wstring part(int count, const wchar_t* what) {
    return count ? L", " + std::to_wstring(count) + L" " + what : std::wstring();
}

std::wstring hexOf(std::int32_t hresult) {
    return hresult == 0 ? std::wstring() : outlook::hresultText(hresult);
}

}  // namespace

const wchar_t* resultName(Result result) {
    switch (result) {
    case Result::Attached: return L"attached";
    case Result::Already: return L"already";
    case Result::Failed: return L"failed";
    case Result::Skipped: return L"skipped";
    case Result::Detached: return L"detached";
    case Result::Ok: return L"ok";
    case Result::Warning: return L"warning";
    case Result::Problem: return L"problem";
    case Result::Stopped: return L"stopped";
    case Result::Missing: return L"missing";
    case Result::Damaged: return L"damaged";
    }
    return L"failed";
}

std::wstring resultLine(const FileRecord& record) {
    const auto oneLine = [](const std::wstring& text) {
        std::wstring out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const wchar_t c = text[i];
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
            out += c == L'\t' || c == L'\r' || c == L'\n' ? L' ' : c;
        }
        return out;
    };
    std::wstring line = std::wstring(resultName(record.result)) + L"\t" + oneLine(record.path);
    if (!record.reason.empty()) line += L"\t" + oneLine(record.reason);
    return line;
}

bool isBad(Result result) {
    return result == Result::Failed || result == Result::Problem || result == Result::Stopped ||
           result == Result::Missing || result == Result::Damaged;
}

int exitCodeOf(const std::vector<FileRecord>& records) {
    for (const FileRecord& r : records)
        if (isBad(r.result)) return kExitFailed;
    return kExitOk;
}

std::wstring summaryText(Command command, const std::vector<FileRecord>& records, bool dryRun) {
    const int total = static_cast<int>(records.size());
    const int failed = countOf(records, Result::Failed);
    const int skipped = countOf(records, Result::Skipped);
    switch (command) {
    case Command::Attach:
        if (dryRun)
            return L"dry run: " + std::to_wstring(skipped) + L" of " + std::to_wstring(total) +
                   L" would be attached" +
                   part(countOf(records, Result::Already), L"already in Outlook") +
                   part(failed, L"failed");
        return std::to_wstring(countOf(records, Result::Attached)) + L" of " +
               std::to_wstring(total) + L" attached" +
               part(countOf(records, Result::Already), L"already in Outlook") +
               part(failed, L"failed") +
               part(countOf(records, Result::Stopped), L"stopped waiting") +
               part(skipped, L"skipped");
    case Command::Detach:
        return std::to_wstring(countOf(records, Result::Detached)) + L" of " +
               std::to_wstring(total) + L" detached" + part(failed, L"failed") +
               part(countOf(records, Result::Stopped), L"stopped waiting") +
               part(skipped, L"skipped");
    case Command::List:
        return std::to_wstring(total) + (total == 1 ? L" store" : L" stores") + L" in the profile" +
               part(countOf(records, Result::Missing), L"missing") +
               part(countOf(records, Result::Damaged), L"damaged");
    case Command::Check:
        return std::to_wstring(total) + L" checked: " +
               std::to_wstring(countOf(records, Result::Ok)) + L" ok" +
               part(countOf(records, Result::Warning), L"with warnings") +
               part(countOf(records, Result::Problem), L"with problems") +
               part(skipped, L"skipped");
    }
    return {};
}

std::wstring csvField(const std::wstring& given) {
    const bool formula =
        !given.empty() && std::wstring_view(L"=+-@\t\r").find(given[0]) != std::wstring_view::npos;
    const std::wstring text = formula ? L"'" + given : given;
    const bool quote = text.find_first_of(L",\"\r\n") != std::wstring::npos ||
                       (!text.empty() && (text.front() == L' ' || text.back() == L' '));
    if (!quote) return text;
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'"') out += L'"';
        out += c;
    }
    return out + L"\"";
}

std::string csvHeader() { return "path,size_bytes,format,result,reason,hresult"; }

std::string csvRow(const FileRecord& r) {
    return toUtf8(csvField(r.path) + L"," + (r.size ? std::to_wstring(*r.size) : std::wstring()) +
                  L"," + csvField(r.format) + L"," + resultName(r.result) + L"," +
                  csvField(r.reason) + L"," + hexOf(r.hresult));
}

}  // namespace pelorin::cli
