// Add Folder: the folder picker, the scan, and the rows of the PSTs found.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <new>
#include <tuple>

#include "pstlist/add_files.h"
#include "pstlist/add_folder.h"
#include "pst/pst_scan.h"
#include "pstlist/pst_list.h"
#include "scan/folder_scanner.h"
#include "support/harness.h"
#include "support/listing.h"
#include "base/event_pump.h"
#include "support/rows.h"
#include "support/temp_tree.h"
#include "base/error.h"

namespace pelorin::pstlist {
namespace {

using Paths = std::vector<std::wstring>;

TEST(IsPstPath, LowerCasedTrimmedSuffix) {
    struct Case {
        const wchar_t* path;
        bool pst;
    } cases[] = {
        {L"C:\\a.pst", true},
        {L"C:\\a.PST", true},
        {L"C:\\a.Pst", true},
        {L"C:\\a.pst  ", true},
        {L"  .pst", true},
        {L".pst", true},
        {L"C:\\x.pst.bak", false},
        {L"C:\\a.ost", false},
        {L"C:\\apst", false},
        {L"pst", false},
        {L"", false},
        {L"    ", false},
        {L"C:\\a.pst\t", false},  // only blanks are stripped
        {L"C:\\a.p\u0161t", false},
    };
    for (const auto& c : cases) EXPECT_EQ(pst::isPstPath(c.path), c.pst) << c.path;
}

// The platform's service, with failures put in on purpose: folders whose
// name starts with "locked" cannot be listed, and a file whose name starts
// with "vanish" is removed (by `vanish`) as soon as its folder is listed;
// `vanish` hears of each locked folder reached too (with an empty name). A
// folder named "nomemory" runs out of memory as it is opened.
class FaultyFolder final : public scan::Folder {
public:
    FaultyFolder(std::unique_ptr<scan::Folder> inner, bool locked,
                 std::function<void(const std::wstring&)> vanish)
        : inner_(std::move(inner)), locked_(locked), vanish_(std::move(vanish)) {}
    std::vector<std::wstring> subFolders() override {
        if (locked_) {
            if (vanish_) vanish_(L"");
            throw Error(kErrPermission, L"Permission denied");
        }
        return inner_->subFolders();
    }
    std::vector<std::wstring> files() override {
        if (locked_) throw Error(kErrPermission, L"Permission denied");
        auto files = inner_->files();
        for (const auto& f : files)
            if (f.rfind(L"vanish", 0) == 0) vanish_(f);
        return files;
    }

private:
    std::unique_ptr<scan::Folder> inner_;
    bool locked_;
    std::function<void(const std::wstring&)> vanish_;
};

class FaultyFileSystem final : public scan::FileSystem {
public:
    FaultyFileSystem(const scan::FileSystemFactory& inner,
                     std::function<void(const std::wstring&)> vanish)
        : inner_(inner()), vanish_(std::move(vanish)) {}
    wchar_t separator() const override { return inner_->separator(); }
    bool folderExists(const std::wstring& p) override { return inner_->folderExists(p); }
    void listAhead(const std::wstring& p) override { inner_->listAhead(p); }
    bool listingReady(const std::wstring& p, std::chrono::milliseconds wait) override {
        return inner_->listingReady(p, wait);
    }
    std::unique_ptr<scan::Folder> openFolder(const std::wstring& p) override {
        std::wstring name = p;
        while (!name.empty() && name.back() == separator()) name.pop_back();
        name = name.substr(name.rfind(separator()) + 1);
        if (name.rfind(L"unopenable", 0) == 0) throw Error(kErrPathNotFound, L"Path not found");
        if (name == L"nomemory") throw std::bad_alloc();
        return std::make_unique<FaultyFolder>(inner_->openFolder(p), name.rfind(L"locked", 0) == 0,
                                              vanish_);
    }
    std::int64_t fileLength(const std::wstring& p) override { return inner_->fileLength(p); }

private:
    std::unique_ptr<scan::FileSystem> inner_;
    std::function<void(const std::wstring&)> vanish_;
};

// Every test runs on each harness kind, with folders listed as they are
// opened and listed ahead: the rows, messages and state are the same.
class AddFolder : public testing::TestWithParam<std::tuple<std::string, bool>> {
protected:
    void SetUp() override { h = test::makeHarness(kind()); }
    const std::string& kind() const { return std::get<0>(GetParam()); }
    void useFaults(std::function<void(const std::wstring&)> vanish) {
        factory = [inner = factory, vanish] {
            return std::make_unique<FaultyFileSystem>(inner, vanish);
        };
    }
    ui::ListView& list() { return h->ui().pstList(); }
    void click() { addFolder(h->ui(), factory, selectedFolder); }
    void choose(const std::wstring& folder) { h->dialogs().folderAnswers.push_back(folder); }
    Paths texts() { return test::rowTexts(list()); }
    // The PSTs of the tree as the scanner orders them, newest row first.
    Paths expectedRows(const std::wstring& root) {
        NoEvents pump;
        scan::FolderScanner scanner(scan::makePlatformFileSystem, pump);
        scanner.reset();
        scanner.scan(root);
        Paths rows;
        auto all = scanner.filePaths();
        for (int i = 1; i <= all->count(); ++i)
            if (pst::isPstPath(all->text(i))) rows.insert(rows.begin(), all->text(i));
        return rows;
    }

    std::unique_ptr<test::Harness> h;
    scan::FileSystemFactory factory = test::platformFileSystems(std::get<1>(GetParam()));
    std::wstring selectedFolder = L"stale";
    test::TempTree tree;
};

TEST_P(AddFolder, CancelChangesNothingInTheWindow) {
    tree.file(L"old.pst", 1536);
    choose(tree.path());
    click();
    h->ui().selectAll().setValue(1);
    h->ui().attachButton().setEnabled(false);
    click();  // cancelled
    EXPECT_EQ(h->dialogs().browseTitles, Paths(2, L"Select folder having PST files..."));
    EXPECT_EQ(selectedFolder, L"");
    EXPECT_EQ(texts(), Paths{tree.path(L"old.pst")});
    EXPECT_TRUE(h->ui().selectAll().enabled());
    EXPECT_EQ(h->ui().selectAll().value(), 1);
    EXPECT_FALSE(h->ui().attachButton().enabled());
    EXPECT_EQ(h->ui().totalLabel().caption(), L"1");
    EXPECT_EQ(h->cursor(), ui::Cursor::Default);
}

TEST_P(AddFolder, PstsOfTheWholeTreeGoOnTopInReverseScanOrder) {
    tree.file(L"a.PST", 1536);
    tree.file(L"notes.txt", 10);
    tree.file(L"x.pst.bak", 10);
    tree.file(L"sub/b.Pst", 5000);
    tree.file(L"sub/deeper/c.pst", 0);
    tree.file(L"sub2/\u65e5\u672c \u00e9.pst", 265 * 1024);
#ifndef _WIN32  // Windows names cannot end in blanks
    tree.file(L"sub2/spaced.pst  ", 1);
#endif
    tree.file(L"empty/nothing.ost", 1);
    insertPstRow(h->ui(), L"older.pst", 1);
    h->ui().selectAll().setValue(1);

    choose(tree.path());  // no trailing separator: one is added
    choose(tree.path() + std::wstring(1, std::filesystem::path::preferred_separator));
    click();
    const Paths once = expectedRows(tree.path());
    EXPECT_EQ(selectedFolder,
              tree.path() + std::wstring(1, std::filesystem::path::preferred_separator));
    Paths want = once;
    want.push_back(L"older.pst");
    EXPECT_EQ(texts(), want);
#ifndef _WIN32
    EXPECT_EQ(once.size(), 5u);
    EXPECT_NE(std::find(once.begin(), once.end(), tree.path(L"sub2/spaced.pst  ")), once.end());
#else
    EXPECT_EQ(once.size(), 4u);
#endif
    for (int i = 1; i <= list().count(); ++i) EXPECT_FALSE(list().checked(i));
    const auto b = std::find(once.begin(), once.end(), tree.path(L"sub/b.Pst")) - once.begin();
    EXPECT_EQ(list().subItem(static_cast<int>(b) + 1, ui::Column::Size), L"4.8828125");
    EXPECT_TRUE(h->ui().selectAll().enabled());
    EXPECT_EQ(h->ui().selectAll().value(), 1);
    EXPECT_TRUE(h->ui().attachButton().enabled());
    EXPECT_EQ(h->ui().totalLabel().caption(), std::to_wstring(once.size() + 1));
    EXPECT_EQ(h->cursor(), ui::Cursor::Default);

    click();  // the same folder again: every file a second time
    EXPECT_EQ(list().count(), static_cast<int>(2 * once.size() + 1));
    EXPECT_TRUE(h->dialogs().messages.empty());
}

// A tree without PSTs says so, naming the folder, and leaves the attach
// button as it was, so a later Add File can be attached.
TEST_P(AddFolder, ATreeWithoutPstsSaysSoAndKeepsAttachEnabled) {
    tree.file(L"a.txt", 1);
    tree.file(L"sub/b.pst.bak", 1);
    insertPstRow(h->ui(), L"older.pst", 1);
    refreshTotal(h->ui());
    choose(tree.path());
    click();
    const std::wstring folder =
        tree.path() + std::wstring(1, std::filesystem::path::preferred_separator);
    EXPECT_EQ(texts(), Paths{L"older.pst"});
    EXPECT_TRUE(h->ui().selectAll().enabled());
    EXPECT_TRUE(h->ui().attachButton().enabled());
    EXPECT_EQ(h->ui().totalLabel().caption(), L"1");
    ASSERT_EQ(h->dialogs().messages.size(), 1u);
    EXPECT_EQ(h->dialogs().messages[0].text,
              L"No PST files were found in " + folder + L" or its subfolders.");
}

TEST_P(AddFolder, UnreadableFoldersAndVanishedFilesAreSkippedAndReported) {
    tree.file(L"a.pst", 1024);
    tree.file(L"locked1/hidden.pst", 1);
    tree.file(L"locked2/sub/hidden.pst", 1);
    tree.file(L"unopenable/hidden.pst", 1);
    tree.file(L"open/b.pst", 2048);
    tree.file(L"open/vanish.pst", 1);
    tree.file(L"open/deep/c.pst", 0);
    useFaults([this](const std::wstring& name) {
        if (!name.empty()) tree.remove(L"open/" + name);
    });
    choose(tree.path());
    click();
    Paths rows = texts();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (Paths{tree.path(L"a.pst"), tree.path(L"open/b.pst"),
                           tree.path(L"open/deep/c.pst")}));
    EXPECT_TRUE(h->ui().attachButton().enabled());
    EXPECT_EQ(h->ui().totalLabel().caption(), L"3");
    ASSERT_EQ(h->dialogs().messages.size(), 1u);
    EXPECT_EQ(h->dialogs().messages[0].icon, ui::Icon::Information);
    EXPECT_EQ(h->dialogs().messages[0].text,
              L"3 folders could not be read and were skipped.\n\n"
              L"These files could not be read and were not added:\n" +
                  tree.path(L"open/vanish.pst"));
}

TEST_P(AddFolder, LongPathsAndLoopsInTheTree) {
    std::wstring deep;
    for (int i = 0; i < 12; ++i)
        deep += L"folder with a rather long name " + std::to_wstring(i) + L"/";
    tree.file(deep + L"far.pst", 1536);
#ifndef _WIN32
    std::filesystem::create_directory_symlink(tree.root(), tree.fsPath(L"loop"));
#endif
    choose(tree.path());
    click();
    ASSERT_EQ(texts(), Paths{tree.path(deep + L"far.pst")});
    EXPECT_GT(list().text(1).size(), 300u);
    EXPECT_EQ(list().subItem(1, ui::Column::Size), L"1.5");
}

TEST_P(AddFolder, ClicksDuringThePausesDoNotCrashOrLoseThisRunsRows) {
    tree.file(L"a.pst", 1);
    tree.file(L"s/b.pst", 1);
    tree.file(L"s/c.txt", 1);
    tree.file(L"t/d.pst", 1);
    const Paths once = expectedRows(tree.path());
    choose(tree.path());
    click();
    const int pauses = h->doEventsCalls();
    ASSERT_GT(pauses, 10);
    pstlist::RowReasons reasons;
    for (int pause = 1; pause <= pauses; ++pause) {
        for (int action = 0; action < 3; ++action) {
            SCOPED_TRACE(testing::Message() << "pause " << pause << " action " << action);
            h = test::makeHarness(kind());
            choose(tree.path());
            h->at(pause, [&] {
                if (action == 0)
                    clearList(h->ui(), reasons);
                else if (action == 1)
                    click();  // cancelled: no answer left
                else {
                    choose(tree.path());
                    click();
                }
            });
            click();
            const Paths rows = texts();
            if (action == 0) {
                // The rows added after the clear are the last ones of this run.
                ASSERT_LE(rows.size(), once.size());
                EXPECT_TRUE(std::equal(rows.begin(), rows.end(), once.begin()));
            } else if (action == 1) {
                EXPECT_EQ(rows, once);
            } else {  // the nested run's rows may stand between this run's
                Paths sorted = rows, twice = once;
                twice.insert(twice.end(), once.begin(), once.end());
                std::sort(sorted.begin(), sorted.end());
                std::sort(twice.begin(), twice.end());
                EXPECT_EQ(sorted, twice);
            }
            EXPECT_TRUE(h->ui().attachButton().enabled());
            EXPECT_EQ(h->ui().totalLabel().caption(), std::to_wstring(rows.size()));
            EXPECT_EQ(h->cursor(), ui::Cursor::Default);
        }
    }
}

TEST_P(AddFolder, OutOfMemoryOrAVanishedRootEndsTheClickAndKeepsTheOldRows) {
    const std::wstring kNoMemory =
        L"There is not enough memory to add the PST files of this folder. "
        L"Please choose a smaller folder.";
    const struct {
        Paths files;
        bool rootGoes;     // at the first locked folder reached
        Paths unreadable;  // in the message after "1 folder ... skipped."
    } cases[] = {
        {{L"a.pst", L"nomemory/b.pst"}, false, {}},
        // The scan stops at the locked folder it was on (counted once); the
        // files it found are gone with the root.
        {{L"a.pst", L"s/c.pst", L"s/locked1/x.pst", L"s/locked2/y.pst", L"t/locked3/z.pst"},
         true,
         {L"a.pst", L"s/c.pst"}},
    };
    const auto base = factory;
    for (const auto& c : cases) {
        h = test::makeHarness(kind());
        insertPstRow(h->ui(), L"older.pst", 1);
        test::TempTree share, away;
        for (const auto& f : c.files) share.file(f, 1);
        factory = base;
        useFaults([&](const std::wstring& name) {
            if (c.rootGoes && name.empty() && std::filesystem::exists(share.root()))
                std::filesystem::rename(share.root(), away.fsPath(L"share"));
        });
        choose(share.path());
        click();
        Paths unreadable;
        for (const auto& f : c.unreadable) unreadable.push_back(share.path(f));
        const std::wstring message = c.rootGoes
                                         ? L"1 folder could not be read and was skipped.\n\n" +
                                               unreadableFilesText(unreadable)
                                         : kNoMemory;
        EXPECT_EQ(texts(), Paths{L"older.pst"});
        EXPECT_EQ(h->ui().totalLabel().caption(), L"1");
        ASSERT_EQ(h->dialogs().messages.size(), 1u);
        EXPECT_EQ(h->dialogs().messages[0].text, message);
        EXPECT_EQ(h->dialogs().messages[0].icon,
                  c.rootGoes ? ui::Icon::Information : ui::Icon::Critical);
        EXPECT_EQ(h->cursor(), ui::Cursor::Default);
        if (c.rootGoes) std::filesystem::rename(away.fsPath(L"share"), share.root());
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, AddFolder,
                         testing::Combine(testing::ValuesIn(test::harnessKinds()),
                                          testing::Values(false, test::kListAhead)),
                         [](const auto& info) {
                             return std::get<0>(info.param) +
                                    (std::get<1>(info.param) ? "_ahead" : "_inline");
                         });

}  // namespace
}  // namespace pelorin::pstlist
