// Fuzzes the selection-text parser of Add File: any text the open-file dialog
// could hand back must parse without a crash, and no path may come from the
// empty element behind the final NUL.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pstlist/add_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Two bytes a character, as the dialog's UTF-16 text; NULs included.
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    const auto paths = pelorin::pstlist::selectionPaths(text);
    if (text.empty() && !paths.empty()) __builtin_trap();
    size_t nuls = 0;
    for (wchar_t c : text) nuls += c == L'\0';
    // Never more paths than the text has elements.
    if (paths.size() > nuls + 1) __builtin_trap();
    for (const auto& p : paths)
        if (p.empty()) __builtin_trap();
    return 0;
}
