// A list file of paths (--from LIST): UTF-8 or UTF-16 (with or without a
// byte-order mark), or the ANSI or OEM code page when the user says so; one
// path a line; blank lines and lines starting with '#' ignored; %NAME%
// replaced by the variable's value. Anything else is refused with the line
// it stops at: a file that is not text, a control character, bytes of
// another encoding, a variable that is not defined or is empty. Portable:
// the variables and the code pages are reached through the functions handed
// in.
#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelorin::cli {

using VariableLookup = std::function<std::optional<std::wstring>(const std::wstring& name)>;

// The bytes of a list without a Unicode encoding: Auto refuses them, Ansi and
// Oem read them in that code page of the system (--list-encoding).
enum class ListEncoding { Auto, Ansi, Oem };
// The text of bytes in the ANSI or OEM code page; nothing when a byte has no
// character there (Win32: code_page_win.h).
using CodePageDecoder =
    std::function<std::optional<std::wstring>(std::string_view bytes, ListEncoding encoding)>;

// A list file past this is refused: no list of paths is near it.
inline constexpr std::size_t kListFileLimit = 16 * 1024 * 1024;

struct ListLine {
    std::size_t number = 0;  // 1 for the file's first line
    std::wstring path;       // trimmed, unquoted, variables expanded
    bool viaVariables = false;
};

// Why the list was refused: "line 3 holds a control character (U+0007)".
struct ListProblem {
    std::wstring message;
};

using ListRead = std::variant<std::vector<ListLine>, ListProblem>;

ListRead readList(std::string_view bytes, ListEncoding encoding, const CodePageDecoder& decode,
                  const VariableLookup& lookup);

}  // namespace pelorin::cli
