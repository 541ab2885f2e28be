// The list file's text in the system's ANSI or OEM code page
// (--list-encoding), through MultiByteToWideChar.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "cli/list_file.h"

namespace pelorin::cli {

// The bytes in the code page; nothing when one has no character there.
std::optional<std::wstring> decodeCodePage(std::string_view bytes, unsigned codePage);

// decodeCodePage with the system's ANSI (GetACP) or OEM (GetOEMCP) code page.
std::optional<std::wstring> decodeSystemCodePage(std::string_view bytes, ListEncoding encoding);

}  // namespace pelorin::cli
