#include "cli/json_lines.h"

#include <cstdint>

#include "outlook/failure_text.h"

namespace pelorin::cli {

namespace {

void escapeUnit(std::wstring& out, std::uint32_t unit) {
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    out += L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

std::wstring jsonOrNull(const std::wstring& text) {
    return text.empty() ? std::wstring(L"null") : jsonString(text);
}

}  // namespace

std::wstring jsonString(const std::wstring& text) {
    std::wstring out = L"\"";
    for (const wchar_t c : text) {
        const auto unit = static_cast<std::uint32_t>(c);
        if (c == L'"' || c == L'\\') {
            out += L'\\';
            out += c;
        } else if (unit >= 0x20 && unit < 0x7F) {
            out += c;
        } else if (unit > 0xFFFF) {  // a 32-bit wchar_t: the UTF-16 pair
            escapeUnit(out, 0xD800 + ((unit - 0x10000) >> 10));
            escapeUnit(out, 0xDC00 + ((unit - 0x10000) & 0x3FF));
        } else {
            escapeUnit(out, unit);
        }
    }
    return out + L"\"";
}

std::wstring jsonRecord(const FileRecord& r) {
    return L"{\"path\":" + jsonString(r.path) + L",\"size_bytes\":" +
           (r.size ? std::to_wstring(*r.size) : L"null") + L",\"format\":" + jsonOrNull(r.format) +
           L",\"result\":" + jsonString(resultName(r.result)) + L",\"reason\":" +
           jsonOrNull(r.reason) + L",\"hresult\":" +
           (r.hresult ? jsonString(outlook::hresultText(r.hresult)) : L"null") + L"}";
}

std::wstring jsonSummary(const std::wstring& summary, int exitCode) {
    return L"{\"summary\":" + jsonOrNull(summary) + L",\"exit_code\":" + std::to_wstring(exitCode) +
           L"}";
}

}  // namespace pelorin::cli
