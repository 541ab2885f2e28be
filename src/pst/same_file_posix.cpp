#include <cwctype>

#include "pst/attach_step.h"
#include "pst/name_pattern.h"

namespace pelorin::pst {

// Outlook's paths are Windows paths even where the tests run natively.
std::wstring fileKey(const std::wstring& path) { return caseFolded(path); }
std::wstring pathKey(const std::wstring& path) { return caseFolded(path); }

std::wstring caseFolded(const std::wstring& text) {
    std::wstring folded = text;
    for (wchar_t& c : folded) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return folded;
}

}  // namespace pelorin::pst
