// Fuzzes the CSV report writer: records made of any text read back, through
// an RFC 4180 reader, as the same fields, one row each, and no field a
// spreadsheet would take for a formula.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"
#include "cli/records.h"

using namespace pelorin;

namespace {

// The rows of a CSV text (without its byte-order mark), each its fields.
std::vector<std::vector<std::wstring>> readCsv(const std::wstring& text) {
    std::vector<std::vector<std::wstring>> rows(1, std::vector<std::wstring>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (quoted) {
            if (c != L'"')
                rows.back().back() += c;
            else if (i + 1 < text.size() && text[i + 1] == L'"')
                rows.back().back() += text[++i];
            else
                quoted = false;
        } else if (c == L'"') {
            quoted = true;
        } else if (c == L',') {
            rows.back().emplace_back();
        } else if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            rows.back().back() += c;
        }
    }
    rows.pop_back();  // after the last line end
    return rows;
}

std::wstring expected(const std::wstring& text) {
    const bool formula =
        !text.empty() && std::wstring(L"=+-@\t\r").find(text[0]) != std::wstring::npos;
    return formula ? L"'" + text : text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Two bytes a character (surrogates left out: toUtf8 keeps them apart);
    // U+FFFF ends a field.
    std::vector<std::wstring> fields(1);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (c == 0xFFFF)
            fields.emplace_back();
        else if (c < 0xD800 || c > 0xDFFF)
            fields.back() += c;
    }
    std::vector<cli::FileRecord> records;
    for (std::size_t i = 0; i < fields.size(); i += 3) {
        cli::FileRecord r(fields[i], cli::Result::Failed,
                          i + 2 < fields.size() ? fields[i + 2] : L"");
        r.format = i + 1 < fields.size() ? fields[i + 1] : L"";
        records.push_back(r);
    }
    std::string csv = cli::csvHeader() + "\r\n";
    for (const cli::FileRecord& r : records) csv += cli::csvRow(r) + "\r\n";
    const auto rows = readCsv(fromUtf8(csv));
    if (rows.size() != records.size() + 1) __builtin_trap();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto& row = rows[i + 1];
        if (row.size() != 6) __builtin_trap();
        if (row[0] != expected(records[i].path) || row[2] != expected(records[i].format) ||
            row[4] != expected(records[i].reason))
            __builtin_trap();
    }
    return 0;
}
