// The error type: what() carries the description as UTF-8 text, and every
// error knows the line that raised it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/error.h"

namespace pelorin {
namespace {

TEST(Error, SaysWhatAndWhereInUtf8) {
    const struct {
        const wchar_t* description;
        const char* utf8;
    } cases[] = {
        {L"Path not found", "Path not found"},
        {L"C:\\Почта\\日本語 😀.pst",
         "C:\\\xD0\x9F\xD0\xBE\xD1\x87\xD1\x82\xD0\xB0\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E "
         "\xF0\x9F\x98\x80.pst"},
        {L"", ""},
    };
    for (const auto& c : cases) {
        const int line = __LINE__ + 1;
        const Error e(kErrPathNotFound, c.description, 0x80070003);
        EXPECT_STREQ(e.what(), c.utf8);
        EXPECT_EQ(e.description(), c.description);
        EXPECT_EQ(e.hresult(), static_cast<std::int32_t>(0x80070003));
        EXPECT_EQ(static_cast<int>(e.where().line()), line);
        EXPECT_NE(std::strstr(e.where().file_name(), "base_error_test.cpp"), nullptr);
    }
}

}  // namespace
}  // namespace pelorin
