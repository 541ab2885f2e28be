// --json: one JSON object per line for each file and a final summary
// object, in ASCII only (every other character as a \uXXXX escape, a lone
// surrogate as itself, \udXXX), so the lines survive any console code page.
// Portable.
#pragma once
#include <string>

#include "cli/records.h"

namespace pelorin::cli {

// A JSON string literal, quotes included, of UTF-16 (or, off Windows,
// UTF-32) text.
std::wstring jsonString(const std::wstring& text);

// {"path":..,"size_bytes":..,"format":..,"result":..,"reason":..,"hresult":..}
std::wstring jsonRecord(const FileRecord& record);

// {"summary":"3 of 5 attached, ...","exit_code":1}; the summary is null
// when Outlook could not be reached.
std::wstring jsonSummary(const std::wstring& summary, int exitCode);

}  // namespace pelorin::cli
