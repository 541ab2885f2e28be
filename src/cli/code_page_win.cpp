#include "cli/code_page_win.h"

#include <windows.h>

namespace pelorin::cli {

std::optional<std::wstring> decodeCodePage(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) return std::wstring();
    if (bytes.size() > kListFileLimit) return std::nullopt;
    const int length = static_cast<int>(bytes.size());
    const int size =
        ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(),
                              size) != size)
        return std::nullopt;
    return text;
}

std::optional<std::wstring> decodeSystemCodePage(std::string_view bytes, ListEncoding encoding) {
    return decodeCodePage(bytes, encoding == ListEncoding::Oem ? ::GetOEMCP() : ::GetACP());
}

}  // namespace pelorin::cli
