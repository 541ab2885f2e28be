// The PST list: size text, row insertion, the total, Select All, Clear List.
#include <gtest/gtest.h>

#include "pstlist/pst_list.h"
#include "support/harness_test.h"

namespace pelorin::pstlist {
namespace {

TEST(SizeText, WritesKilobytesWithFifteenSignificantDigits) {
    struct Case {
        std::int64_t bytes;
        wchar_t separator;
        const wchar_t* text;
    } cases[] = {
        {0, L'.', L"0"},
        {1, L'.', L"0.0009765625"},  // fixed notation, never an exponent
        {1000, L'.', L"0.9765625"},
        {1024, L'.', L"1"},
        {1536, L'.', L"1.5"},
        {1536, L',', L"1,5"},
        {5000, L'.', L"4.8828125"},
        {265 * 1024, L'.', L"265"},
        {1073741823, L'.', L"1048575.99902344"},  // rounded at the 15th digit
        {1234567890123, L'.', L"1205632705.19824"},
        {2147483648LL, L'.', L"2097152"},  // 2 GiB: no wrap to negative
        {50LL * 1024 * 1024 * 1024, L'.', L"52428800"},
        {1024LL * 1024 * 1024 * 1024 * 1024, L'.', L"1099511627776"},  // no grouping
        {INT64_MAX, L'.', L"9007199254740990"},  // beyond 15 digits: zeros, not an exponent
    };
    for (const auto& c : cases)
        EXPECT_EQ(sizeText(c.bytes, c.separator), c.text) << "bytes=" << c.bytes;
}

class PstList : public test::HarnessTest {
protected:
    ui::CheckBox& box() { return h->ui().selectAll(); }
};

TEST_P(PstList, NewRowsGoOnTopUntickedWithTheirSize) {
    insertPstRow(ui(), L"C:\\old.pst", 1536);
    list().setChecked(1, true);
    box().setValue(1);  // a ticked Select All is not applied to new rows
    insertPstRow(ui(), L"C:\\a.pst", 5000);
    insertPstRow(ui(), L"C:\\b.pst", 0);
    insertPstRow(ui(), L"C:\\a.pst", 1024);  // duplicates are rows like any other
    EXPECT_EQ(texts(), (std::vector<std::wstring>{L"C:\\a.pst", L"C:\\b.pst", L"C:\\a.pst",
                                                  L"C:\\old.pst"}));
    EXPECT_EQ(list().subItem(1, ui::Column::Size), L"1");
    EXPECT_EQ(list().subItem(3, ui::Column::Size), L"4.8828125");
    EXPECT_EQ(list().subItem(4, ui::Column::Size), L"1.5");
    EXPECT_EQ(list().subItem(1, ui::Column::Status), L"");
    EXPECT_FALSE(list().checked(1));
    EXPECT_TRUE(list().checked(4));
    EXPECT_EQ(h->ui().totalLabel().caption(), L"0");  // only refreshTotal writes it
    refreshTotal(ui());
    EXPECT_EQ(h->ui().totalLabel().caption(), L"4");
}

TEST_P(PstList, SelectAllTicksAndUnticksEveryRow) {
    box().setEnabled(true);
    box().setValue(1);
    applySelectAll(ui());  // empty list: nothing happens, the box stays ticked
    EXPECT_EQ(box().value(), 1);

    for (auto p : {L"a", L"b", L"c"}) insertPstRow(ui(), p, 1);
    list().setChecked(2, true);
    applySelectAll(ui());
    for (int i = 1; i <= 3; ++i) EXPECT_TRUE(list().checked(i)) << i;

    list().setChecked(3, false);  // a row by hand leaves the box alone
    EXPECT_EQ(box().value(), 1);

    box().setValue(0);
    applySelectAll(ui());
    for (int i = 1; i <= 3; ++i) EXPECT_FALSE(list().checked(i)) << i;
    EXPECT_TRUE(box().enabled());
    EXPECT_EQ(h->ui().totalLabel().caption(), L"0");
}

TEST_P(PstList, ClearListResetsBoxAndTotalButNotAttach) {
    for (bool ticked : {true, false}) {
        for (auto p : {L"a", L"b"}) insertPstRow(ui(), p, 1);
        refreshTotal(ui());
        box().setEnabled(true);
        box().setValue(ticked ? 1 : 0);
        h->ui().attachButton().setEnabled(false);
        RowReasons reasons;
        clearList(ui(), reasons);
        EXPECT_EQ(list().count(), 0);
        EXPECT_EQ(box().value(), 0);
        EXPECT_FALSE(box().enabled());
        EXPECT_EQ(h->ui().totalLabel().caption(), L"0");
        EXPECT_FALSE(h->ui().attachButton().enabled());
        h->ui().attachButton().setEnabled(true);
    }
    // The next add counts only its own rows.
    insertPstRow(ui(), L"x", 1);
    refreshTotal(ui());
    EXPECT_EQ(h->ui().totalLabel().caption(), L"1");
}

PELORIN_FOR_EACH_HARNESS(PstList);

}  // namespace
}  // namespace pelorin::pstlist
