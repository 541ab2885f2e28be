// The scanner's collection: order, 1-based access and unique keys, including
// the fast path for keys of the form "K<n>".
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "scan/collection.h"
#include "support/error_of.h"
#include "base/error.h"

namespace pelorin::scan {
namespace {

using test::errorOf;

TEST(ScanCollection, KeepsOrderAndReadsOneBased) {
    Collection c;
    c.add(std::wstring(L"first"), L"K0");
    c.add(7, L"K2");
    c.add(std::wstring(L"third"), L"some key");
    ASSERT_EQ(c.count(), 3);
    EXPECT_EQ(c.text(1), L"first");
    EXPECT_EQ(c.number(2), 7);
    EXPECT_EQ(c.text(3), L"third");
    EXPECT_EQ(errorOf([&] { c.item(0); }), kErrSubscript);
    EXPECT_EQ(errorOf([&] { c.item(4); }), kErrSubscript);
    EXPECT_EQ(errorOf([&] { c.text(2); }), 13);  // type mismatch
    EXPECT_EQ(errorOf([&] { c.number(1); }), 13);
    int seen = 0;
    for (std::int32_t i = 1; i <= c.count(); ++i) seen += static_cast<int>(c.item(i).index()) + 1;
    EXPECT_EQ(seen, 1 + 2 + 1);
}

// Keys that look numeric but are spelled otherwise are their own keys, and
// a duplicate adds nothing wherever the key is kept.
TEST(ScanCollection, DuplicateKeysFailAndAddNothing) {
    const std::wstring keys[] = {L"K0", L"K1",  L"K07",         L"K7",          L"k7",
                                 L"K",  L"K-1", L"K2147483647", L"K2147483648", L"K99999999999",
                                 L"",   L"name"};
    Collection c;
    for (const auto& key : keys) c.add(std::wstring(key), key);
    ASSERT_EQ(c.count(), static_cast<std::int32_t>(std::size(keys)));
    for (const auto& key : keys) {
        EXPECT_TRUE(c.hasKey(key)) << std::string(key.begin(), key.end());
        EXPECT_EQ(errorOf([&] { c.add(0, key); }), kErrDuplicateKey);
    }
    EXPECT_EQ(c.count(), static_cast<std::int32_t>(std::size(keys)));
    EXPECT_FALSE(c.hasKey(L"K8"));
    EXPECT_FALSE(c.hasKey(L"K00"));
}

// A number key far beyond the others is kept aside; once the others grow up
// to it, it must still count as present.
TEST(ScanCollection, FarNumberKeysStayUniqueAsTheRangeGrows) {
    Collection c;
    c.add(1, L"K100000");
    c.add(2, L"K5000000");
    for (int n = 0; n < 200000; ++n) {
        if (n == 100000) continue;
        c.add(n, L"K" + std::to_wstring(n));
    }
    EXPECT_EQ(errorOf([&] { c.add(0, L"K100000"); }), kErrDuplicateKey);
    EXPECT_EQ(errorOf([&] { c.add(0, L"K5000000"); }), kErrDuplicateKey);
    EXPECT_EQ(errorOf([&] { c.add(0, L"K199999"); }), kErrDuplicateKey);
    EXPECT_FALSE(c.hasKey(L"K200000"));
    EXPECT_EQ(c.count(), 200001);
}

}  // namespace
}  // namespace pelorin::scan
