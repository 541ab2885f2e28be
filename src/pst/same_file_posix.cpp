#include <cwctype>

#include "pst/attach_step.h"

namespace pelorin::pst {

// Outlook's paths are Windows paths even where the tests run natively.
std::wstring fileKey(const std::wstring& path) {
    std::wstring key = path;
    for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return key;
}

}  // namespace pelorin::pst
