// Add File: the selection text and the rows it gives.
#include <gtest/gtest.h>

#include <random>

#include "pstlist/add_files.h"
#include "pstlist/pst_list.h"
#include "support/harness_test.h"
#include "support/pauses.h"
#include "support/temp_tree.h"

namespace pelorin::pstlist {
namespace {

using Paths = std::vector<std::wstring>;
using namespace std::string_literals;

TEST(SelectionPaths, AllThreeFormsWithOrWithoutTrailingNul) {
    struct Case {
        std::wstring selection;
        Paths paths;
    } cases[] = {
        {L""s, {}},
        {L"C:\\x\\a.pst"s, {L"C:\\x\\a.pst"}},
        {L"C:\\x\\a.pst\0"s, {L"C:\\x\\a.pst"}},
        {L"C:\\my files\\a b.pst"s, {L"C:\\my files\\a b.pst"}},
        {L"C:\\x\0a.pst\0b.pst\0c.pst"s, {L"C:\\x\\a.pst", L"C:\\x\\b.pst", L"C:\\x\\c.pst"}},
        {L"C:\\x\0a.pst\0b.pst\0c.pst\0"s, {L"C:\\x\\a.pst", L"C:\\x\\b.pst", L"C:\\x\\c.pst"}},
        {L"C:\\my files\0a b.pst\0 c.pst \0"s,
         {L"C:\\my files\\a b.pst", L"C:\\my files\\ c.pst "}},
        // A drive root already ends in the separator: no second one.
        {L"C:\\\0a.pst\0b.pst"s, {L"C:\\a.pst", L"C:\\b.pst"}},
        {L"\\\\srv\\share\0a.pst\0b.pst"s, {L"\\\\srv\\share\\a.pst", L"\\\\srv\\share\\b.pst"}},
        // One name after the folder: folder + name (the dialog's form for a
        // folder and a single name), never the folder alone.
        {L"C:\\x\0a.pst\0"s, {L"C:\\x\\a.pst"}},
        // No extension check, no duplicate check.
        {L"C:\\x\0a.txt\0a.txt\0"s, {L"C:\\x\\a.txt", L"C:\\x\\a.txt"}},
        // Stray empty names are never paths.
        {L"C:\\x\0a.pst\0\0b.pst\0\0"s, {L"C:\\x\\a.pst", L"C:\\x\\b.pst"}},
        {L"\0"s, {}},
        {L"\u00c5sa\\\u65e5\u672c.pst"s, {L"\u00c5sa\\\u65e5\u672c.pst"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(selectionPaths(c.selection), c.paths) << c.selection.size();
    EXPECT_EQ(selectionPaths(L"/tmp/x\0a.pst\0"s, L'/'), Paths{L"/tmp/x/a.pst"});
}

TEST(SelectionPaths, RandomTextsNeverGiveAnEmptyNameOrTheFolder) {
    std::mt19937 rng(12345);
    const wchar_t alphabet[] = {L'\0', L'\0', L'\\', L'a', L'.', L' ', L'p', L'\u00e9'};
    for (int round = 0; round < 20000; ++round) {
        std::wstring text(rng() % 24, L'a');
        for (auto& ch : text) ch = alphabet[rng() % std::size(alphabet)];
        const Paths paths = selectionPaths(text);
        // Two NULs or more (counting the one appended when missing): the
        // first element is the folder.
        const auto nuls = std::count(text.begin(), text.end(), L'\0') +
                          (text.empty() || text.back() != L'\0' ? 1 : 0);
        const std::wstring folder = text.substr(0, text.find(L'\0'));
        const std::wstring prefix =
            !folder.empty() && folder.back() == L'\\' ? folder : folder + L"\\";
        for (const auto& p : paths) {
            ASSERT_FALSE(p.empty());
            ASSERT_EQ(p.find(L'\0'), std::wstring::npos);
            if (nuls >= 2) {
                ASSERT_NE(p, folder) << "the folder was taken as a name";
                ASSERT_NE(p, prefix) << "an empty name was taken";
            }
        }
        ASSERT_LE(paths.size(), std::count(text.begin(), text.end(), L'\0') + 1u);
    }
}

TEST(UnreadableFilesText, NamesEveryFileOrCutsALongListShort) {
    EXPECT_EQ(unreadableFilesText({L"C:\\a.pst", L"C:\\b.pst"}),
              L"These files could not be read and were not added:\nC:\\a.pst\nC:\\b.pst");
    Paths many(300, L"C:\\x.pst");
    const auto text = unreadableFilesText(many);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 21);
    EXPECT_NE(text.find(L"... and 280 more."), std::wstring::npos);
}

class AddFile : public test::HarnessTest {
protected:
    void click() { addFiles(h->ui(), *fs); }
    // The dialog's multiple-selection form for names in the temp folder.
    std::wstring multi(const Paths& names, bool trailingNul = false) {
        std::wstring s = tmp.path();
        for (const auto& n : names) s += L'\0' + n;
        if (trailingNul) s += L'\0';
        return s;
    }
    std::wstring at(const std::wstring& name) { return tmp.path(name); }

    std::unique_ptr<scan::FileSystem> fs = scan::makePlatformFileSystem();
    test::TempTree tmp;
};

TEST_P(AddFile, SetsUpTheDialogAndCancelChangesNothing) {
    tmp.file(L"old.pst", 1536);
    h->fileDialog().answers = {at(L"old.pst")};
    click();
    h->ui().selectAll().setValue(1);
    h->ui().attachButton().setEnabled(false);
    click();  // no answer left: the user cancels

    EXPECT_EQ(h->fileDialog().flags, 0x80200u);
    EXPECT_EQ(h->fileDialog().filter, L"Outlook PST File(s)|*.pst");
    EXPECT_EQ(h->fileDialog().shown, 2);
    EXPECT_EQ(texts(), Paths{at(L"old.pst")});
    EXPECT_TRUE(h->ui().selectAll().enabled());
    EXPECT_EQ(h->ui().selectAll().value(), 1);
    EXPECT_FALSE(h->ui().attachButton().enabled());
    EXPECT_EQ(h->ui().totalLabel().caption(), L"1");
    EXPECT_TRUE(h->dialogs().messages.empty());
}

TEST_P(AddFile, NamesGoOnTopInReverseOrderWithTheirSizes) {
    tmp.file(L"first.pst", 5000);
    tmp.file(L"second one.pst", 1536);
    tmp.file(L"third.PST", 265 * 1024);
    for (bool trailingNul : {false, true}) {
        h = test::makeHarness(GetParam());
        h->ui().attachButton().setEnabled(false);
        h->ui().selectAll().setValue(1);
        h->fileDialog().answers = {
            at(L"first.pst"), multi({L"first.pst", L"second one.pst", L"third.PST"}, trailingNul)};
        click();
        click();
        EXPECT_EQ(texts(), (Paths{at(L"third.PST"), at(L"second one.pst"), at(L"first.pst"),
                                  at(L"first.pst")}));
        EXPECT_EQ(list().subItem(1, ui::Column::Size), L"265");
        EXPECT_EQ(list().subItem(2, ui::Column::Size), L"1.5");
        EXPECT_EQ(list().subItem(3, ui::Column::Size), L"4.8828125");
        EXPECT_FALSE(list().checked(1));
        EXPECT_EQ(h->ui().totalLabel().caption(), L"4");
        EXPECT_TRUE(h->ui().selectAll().enabled());
        EXPECT_EQ(h->ui().selectAll().value(), 1);
        EXPECT_FALSE(h->ui().attachButton().enabled());  // never touched by Add File
    }
}

TEST_P(AddFile, AFileThatCannotBeReadGetsNoRowAndOneMessage) {
    tmp.file(L"a.pst", 1024);
    tmp.file(L"c.pst", 2048);
    h->fileDialog().answers = {multi({L"a.pst", L"missing.pst", L"c.pst", L"gone.pst"})};
    click();
    EXPECT_EQ(texts(), (Paths{at(L"c.pst"), at(L"a.pst")}));
    EXPECT_EQ(h->ui().totalLabel().caption(), L"2");
    ASSERT_EQ(h->dialogs().messages.size(), 1u);
    EXPECT_EQ(h->dialogs().messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(h->dialogs().messages[0].text,
              L"These files could not be read and were not added:\n" + at(L"missing.pst") + L"\n" +
                  at(L"gone.pst"));
}

TEST_P(AddFile, ClicksDuringThePausesDoNotChangeWhichNamesThisRunAdds) {
    tmp.file(L"a.pst", 1);
    tmp.file(L"b.pst", 1);
    tmp.file(L"c.pst", 1);
    tmp.file(L"n.pst", 1);
    // A nested Add File or Clear List at each pause after the dialog has
    // closed: the outer run still adds exactly a, b, c, and the nested one n.
    const int last = test::kAddFilePausesBeforeNames + 3 * test::kAddFilePausesPerName;
    pstlist::RowReasons reasons;
    for (int pause = test::kAddFileDialogClosed; pause <= last; ++pause) {
        for (bool nestedClear : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "pause " << pause << (nestedClear ? " clear" : " add"));
            h = test::makeHarness(GetParam());
            h->fileDialog().answers = {multi({L"a.pst", L"b.pst", L"c.pst"}), at(L"n.pst")};
            h->at(pause, [&] {
                if (nestedClear)
                    pstlist::clearList(h->ui(), reasons);
                else
                    click();
            });
            click();
            Paths rows = texts();
            Paths outer;
            for (const auto& r : rows)
                if (r != at(L"n.pst")) outer.push_back(r);
            const Paths all{at(L"c.pst"), at(L"b.pst"), at(L"a.pst")};
            if (nestedClear) {  // the rows added before the clear are gone
                ASSERT_LE(outer.size(), 3u);
                EXPECT_TRUE(std::equal(outer.begin(), outer.end(), all.begin()));
            } else {
                EXPECT_EQ(outer, all);
                EXPECT_EQ(rows.size(), 4u);
            }
            EXPECT_EQ(h->ui().totalLabel().caption(), std::to_wstring(rows.size()));
        }
    }
}

PELORIN_FOR_EACH_HARNESS(AddFile);

}  // namespace
}  // namespace pelorin::pstlist
