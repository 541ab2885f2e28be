// A list file of paths (--from LIST): UTF-8, or UTF-16 with a byte-order
// mark; one path a line; blank lines and lines starting with '#' ignored;
// %NAME% replaced by the variable's value. Portable: the variables are looked
// up through the function handed in.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::cli {

using VariableLookup = std::function<std::optional<std::wstring>(const std::wstring& name)>;

// The text of the file's bytes: a UTF-16 (LE or BE) or UTF-8 byte-order mark
// says the encoding; without one the bytes are UTF-8.
std::wstring decodeText(std::string_view bytes);

// %NAME% replaced by its value; an unknown name, a lone '%' and "%%" stay as
// they are, as the Windows shell leaves them.
std::wstring expandVariables(const std::wstring& text, const VariableLookup& lookup);

// The paths of a list file, in order, each trimmed of surrounding spaces
// and tabs and of the quotes a path copied from Explorer carries.
std::vector<std::wstring> listFilePaths(std::string_view bytes, const VariableLookup& lookup);

}  // namespace pelorin::cli
