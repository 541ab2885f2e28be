#include <cwctype>

#include "pst/attach_step.h"

namespace pelorin::pst {

// Outlook's paths are Windows paths even where the tests run natively.
bool sameFile(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
            return false;
    return true;
}

}  // namespace pelorin::pst
