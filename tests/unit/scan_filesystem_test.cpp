// The platform file system: existence tests, listings and file lengths.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include "scan/filesystem.h"
#include "support/error_of.h"
#include "support/temp_tree.h"
#include "base/error.h"

namespace pelorin::scan {
namespace {

using test::TempTree;

using test::errorOf;

TEST(ScanFileSystem, FolderExistsOnlyForFolders) {
    TempTree tree;
    tree.file(L"f", 3);
    tree.folder(L"d");
    auto fs = makePlatformFileSystem();
    const std::wstring sep(1, fs->separator());
    const struct {
        std::wstring path;
        bool exists;
    } cases[] = {{tree.path(), true},
                 {tree.path() + sep, true},
                 {tree.path(L"d"), true},
                 {tree.path(L"f"), false},
                 {tree.path(L"none"), false},
                 {tree.path(L"f") + sep, false},
                 {L"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(fs->folderExists(c.path), c.exists) << std::string(c.path.begin(), c.path.end());
}

TEST(ScanFileSystem, FileLengthIsSixtyFourBit) {
    TempTree tree;
    tree.file(L"five-thousand", 5000);
    tree.file(L"empty", 0);
    tree.folder(L"d");
    auto fs = makePlatformFileSystem();
    EXPECT_EQ(fs->fileLength(tree.path(L"five-thousand")), 5000);
    EXPECT_EQ(fs->fileLength(tree.path(L"empty")), 0);
    for (const std::wstring& bad : {tree.path(L"missing"), tree.path(L"d"), std::wstring()})
        EXPECT_EQ(errorOf([&] { fs->fileLength(bad); }), kErrFileNotFound);

    // Beyond 4 GiB (a sparse file, where the file system allows one).
    tree.file(L"big");
    std::error_code error;
    const std::uintmax_t big = (std::uintmax_t{5} << 30) + 3;
    std::filesystem::resize_file(tree.fsPath(L"big"), big, error);
    if (!error) {
        EXPECT_EQ(fs->fileLength(tree.path(L"big")), static_cast<std::int64_t>(big));
    }
}

TEST(ScanFileSystem, ListingSplitsFoldersFromFiles) {
    TempTree tree;
    tree.file(L"one");
    tree.file(L"two.pst");
    tree.folder(L"sub");
    tree.file(L"sub/inner");
    auto fs = makePlatformFileSystem();
    auto files = fs->openFolder(tree.path())->files();
    auto folders = fs->openFolder(tree.path())->subFolders();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::wstring>{L"one", L"two.pst"}));
    EXPECT_EQ(folders, std::vector<std::wstring>{L"sub"});
    // A folder may be asked for its parts more than once, whether its
    // listing is shared or its own.
    for (int holders : {1, 2}) {
        auto first = fs->openFolder(tree.path());
        auto second = fs->openFolder(tree.path());
        if (holders == 1) first.reset();
        for (int ask = 0; ask < 2; ++ask) {
            auto again = second->files();
            std::sort(again.begin(), again.end());
            EXPECT_EQ(again, files);
            EXPECT_EQ(second->subFolders(), folders);
        }
    }
    EXPECT_EQ(errorOf([&] { fs->openFolder(tree.path(L"missing")); }), kErrPathNotFound);
    EXPECT_NE(errorOf([&] { fs->openFolder(tree.path(L"one")); }), 0);
}

// Paths longer than the classic 260-character limit.
TEST(ScanFileSystem, LongPaths) {
    TempTree tree;
    std::wstring relative;
    for (int i = 0; i < 6; ++i) relative += std::wstring(60, static_cast<wchar_t>(L'a' + i)) + L"/";
    std::error_code error;
    std::filesystem::create_directories(tree.fsPath(relative), error);
    if (error) GTEST_SKIP() << "cannot create a long path here";
    tree.file(relative + L"deep.pst", 42);
    auto fs = makePlatformFileSystem();
    const std::wstring folder = tree.path(relative);
    ASSERT_GT(folder.size(), 300u);
    EXPECT_TRUE(fs->folderExists(folder));
    EXPECT_EQ(fs->openFolder(folder)->files(), std::vector<std::wstring>{L"deep.pst"});
    EXPECT_EQ(fs->fileLength(tree.path(relative + L"deep.pst")), 42);
}

}  // namespace
}  // namespace pelorin::scan
