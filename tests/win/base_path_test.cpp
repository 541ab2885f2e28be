// The path helpers refuse a path holding a NUL: the Windows calls would take
// only the part before it, which names another file.
#include <gtest/gtest.h>

#include <functional>

#include "base/error.h"
#include "base/path_win.h"

namespace pelorin::test {
namespace {

TEST(BasePath, NulRefusedNotCut) {
    const std::wstring cut(L"C:\\mail\\a.pst\0.bak", 18);
    const std::wstring share(L"\\\\srv\\share\\\0x", 14);
    const std::function<void(const std::wstring&)> helpers[] = {
        [](const std::wstring& p) { fullPath(p); },
        [](const std::wstring& p) { longPath(p); },
        [](const std::wstring& p) { samePath(p, L"C:\\mail\\a.pst"); },
        [](const std::wstring& p) { samePath(L"C:\\mail\\a.pst", p); },
    };
    for (const auto& helper : helpers) {
        EXPECT_THROW(helper(cut), Error);
        EXPECT_THROW(helper(share), Error);
    }
    EXPECT_EQ(longPath(L"C:\\mail\\a.pst"), L"\\\\?\\C:\\mail\\a.pst");
}

}  // namespace
}  // namespace pelorin::test
