#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

namespace pelorin {
namespace {

// Each case: UTF-8 bytes and the wide text they stand for; both directions
// must give the other exactly.
TEST(BaseText, Utf8AndWideTextRoundTrip) {
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"empty", "", L""},
        {"ascii", "C:\\Mail\\a.pst", L"C:\\Mail\\a.pst"},
        {"cyrillic", "\xD0\x9F\xD0\xBE\xD1\x87\xD1\x82\xD0\xB0", L"\u041F\u043E\u0447\u0442\u0430"},
        {"cjk", "\xE9\x83\xB5\xE4\xBB\xB6", L"\u90F5\u4EF6"},
        {"beyond the basic plane", "\xF0\x9F\x93\xA7.pst", L"\U0001F4E7.pst"},
        {"a byte that is not UTF-8",
         "a\xFF"
         "b",
         std::wstring(L"a") + wchar_t(0xDCFF) + L"b"},
        {"a cut sequence", "\xE9\x83", std::wstring() + wchar_t(0xDCE9) + wchar_t(0xDC83)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(fromUtf8(c.bytes), c.text);
        EXPECT_EQ(toUtf8(c.text), c.bytes);
    }
}

}  // namespace
}  // namespace pelorin
