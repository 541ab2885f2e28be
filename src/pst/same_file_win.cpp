#include "base/path_win.h"
#include "pst/attach_step.h"

namespace pelorin::pst {

bool sameFile(const std::wstring& a, const std::wstring& b) { return samePath(a, b); }

}  // namespace pelorin::pst
