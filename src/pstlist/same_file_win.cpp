#include "base/path_win.h"
#include "pstlist/attach_step.h"

namespace pelorin::pstlist {

bool sameFile(const std::wstring& a, const std::wstring& b) { return samePath(a, b); }

}  // namespace pelorin::pstlist
