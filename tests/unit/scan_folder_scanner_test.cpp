// The folder scanner on real temporary trees, through the platform's own
// file system (POSIX natively, Win32 under Wine). Listing order is the file
// system's; where a test needs a known order it reads the tree through a
// wrapper that sorts every listing.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "scan/folder_scanner.h"
#include "support/collection_texts.h"
#include "support/error_of.h"
#include "support/pauses.h"
#include "support/scheduled_actions.h"
#include "support/temp_tree.h"
#include "base/error.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pelorin::scan {
namespace {

using test::TempTree;
using Names = std::vector<std::wstring>;

class CountingPump final : public EventPump {
public:
    void doEvents() override { actions.runDue(++calls); }
    int calls = 0;
    test::ScheduledActions actions;  // run inside the call with their number
};

class SortedFolder final : public Folder {
public:
    explicit SortedFolder(std::unique_ptr<Folder> inner) : inner_(std::move(inner)) {}
    Names subFolders() override { return sorted(inner_->subFolders()); }
    Names files() override { return sorted(inner_->files()); }

private:
    static Names sorted(Names names) {
        std::sort(names.begin(), names.end());
        return names;
    }
    std::unique_ptr<Folder> inner_;
};

// The platform file system with sorted listings; opening the folder at
// `failing` raises a permission error, as a folder without access would.
class TestFileSystem final : public FileSystem {
public:
    explicit TestFileSystem(std::wstring failing = L"") : failing_(std::move(failing)) {}
    wchar_t separator() const override { return inner_->separator(); }
    bool folderExists(const std::wstring& path) override { return inner_->folderExists(path); }
    std::unique_ptr<Folder> openFolder(const std::wstring& path) override {
        if (!failing_.empty() && path == failing_)
            throw Error(kErrPermission, L"Permission denied");
        return std::make_unique<SortedFolder>(inner_->openFolder(path));
    }
    std::int64_t fileLength(const std::wstring& path) override { return inner_->fileLength(path); }

private:
    std::unique_ptr<FileSystem> inner_ = makePlatformFileSystem();
    std::wstring failing_;
};

FileSystemFactory sortedFileSystem(std::wstring failing = L"") {
    return [failing] { return std::make_unique<TestFileSystem>(failing); };
}

wchar_t sep() { return makePlatformFileSystem()->separator(); }

// The expected text of a path relative to the tree's root, written with "/";
// a trailing "/" stands for the separator a folder path ends in.
std::wstring expected(const TempTree& tree, const std::wstring& relative) {
    std::wstring result = tree.path() + sep();
    for (wchar_t c : relative) result.push_back(c == L'/' ? sep() : c);
    return result;
}

using test::texts;

std::vector<std::int32_t> numbers(const CollectionRef& collection) {
    std::vector<std::int32_t> out;
    for (std::int32_t i = 1; i <= collection->count(); ++i) out.push_back(collection->number(i));
    return out;
}

using test::errorOf;

struct TreeCase {
    const char* name;
    Names folders;  // relative, created first
    Names files;    // relative
    bool fullOnly;
    Names folderPaths;  // relative, "" is the root
    Names filePaths;
    Names fileNames;                     // checked when !fullOnly
    std::vector<std::int32_t> pointers;  // checked when !fullOnly
};

void PrintTo(const TreeCase& c, std::ostream* os) { *os << c.name; }

const TreeCase kTrees[] = {
    {"EmptyRoot", {}, {}, true, {L""}, {}, {}, {}},
    {"FilesAndSubfolderFullOnly",
     {},
     {L"a", L"b", L"S/c"},
     true,
     {L"", L"S/"},
     {L"a", L"b", L"S/c"},
     {},
     {}},
    {"FilesAndSubfolderAllThree",
     {},
     {L"a", L"b", L"S/c"},
     false,
     {L"", L"S/"},
     {L"a", L"b", L"S/c"},
     {L"a", L"b", L"c"},
     {1, 1, 2}},
    // Breadth first: S2 is queued before T, and S2's files come before T's.
    {"QueueOrderIsBreadthFirst",
     {},
     {L"r", L"S1/T/t", L"S1/s1", L"S2/s2"},
     false,
     {L"", L"S1/", L"S2/", L"S1/T/"},
     {L"r", L"S1/s1", L"S2/s2", L"S1/T/t"},
     {L"r", L"s1", L"s2", L"t"},
     {1, 2, 3, 4}},
    {"EmptySubfoldersAreQueued",
     {L"A", L"B/C"},
     {L"B/x"},
     false,
     {L"", L"A/", L"B/", L"B/C/"},
     {L"B/x"},
     {L"x"},
     {3}},
    {"UnicodeNamesKeptExactly",
     {},
     {L"Ordner \u00df/\u00dcn\u00efc\u00f8d\u00e9 \u20ac \U0001F600.PST"},
     false,
     {L"", L"Ordner \u00df/"},
     {L"Ordner \u00df/\u00dcn\u00efc\u00f8d\u00e9 \u20ac \U0001F600.PST"},
     {L"\u00dcn\u00efc\u00f8d\u00e9 \u20ac \U0001F600.PST"},
     {2}},
};

class ScanTree : public ::testing::TestWithParam<TreeCase> {};

TEST_P(ScanTree, RecordsFoldersAndFiles) {
    const TreeCase& c = GetParam();
    TempTree tree;
    for (const auto& f : c.folders) tree.folder(f);
    for (const auto& f : c.files) tree.file(f, 10);

    CountingPump pump;
    FolderScanner logger(sortedFileSystem(), pump);
    logger.reset();
    EXPECT_TRUE(logger.filesOnly());
    logger.filesOnly(c.fullOnly);
    const int before = pump.calls;
    logger.scan(tree.path());
    EXPECT_EQ(pump.calls - before, test::scanPauses(static_cast<int>(c.folderPaths.size()),
                                                    static_cast<int>(c.files.size())));

    Names paths, full;
    for (const auto& p : c.folderPaths) paths.push_back(expected(tree, p));
    for (const auto& f : c.filePaths) full.push_back(expected(tree, f));
    EXPECT_EQ(texts(logger.folderPaths()), paths);
    EXPECT_EQ(texts(logger.filePaths()), full);
    EXPECT_EQ(texts(logger.fileNames()), c.fullOnly ? Names{} : c.fileNames);
    EXPECT_EQ(numbers(logger.fileFolderIndexes()),
              c.fullOnly ? std::vector<std::int32_t>{} : c.pointers);
    EXPECT_EQ(logger.count(), static_cast<std::int32_t>(c.files.size()) + 1);

    // Keys: the root is K0, the n-th folder Kn (no K1); the k-th file is Kk
    // in every file collection.
    const auto folderPaths = logger.folderPaths();
    EXPECT_TRUE(folderPaths->hasKey(L"K0"));
    EXPECT_FALSE(folderPaths->hasKey(L"K1"));
    for (std::int32_t n = 2; n <= folderPaths->count(); ++n)
        EXPECT_TRUE(folderPaths->hasKey(L"K" + std::to_wstring(n))) << n;
    for (const auto& files : {logger.filePaths(), logger.fileNames(), logger.fileFolderIndexes()}) {
        for (std::int32_t k = 1; k <= files->count(); ++k)
            EXPECT_TRUE(files->hasKey(L"K" + std::to_wstring(k))) << k;
        EXPECT_FALSE(files->hasKey(L"K" + std::to_wstring(files->count() + 1)));
    }
}

INSTANTIATE_TEST_SUITE_P(Scan, ScanTree, ::testing::ValuesIn(kTrees),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScanPathLogger, RootWithOrWithoutTrailingSeparatorIsStoredWithOne) {
    TempTree tree;
    tree.file(L"f");
    for (const std::wstring& root : {tree.path(), tree.path() + sep()}) {
        CountingPump pump;
        FolderScanner logger(makePlatformFileSystem, pump);
        logger.reset();
        logger.scan(root);
        EXPECT_EQ(texts(logger.folderPaths()), Names{tree.path() + sep()});
        EXPECT_EQ(texts(logger.filePaths()), Names{expected(tree, L"f")});
    }
}

TEST(ScanPathLogger, MissingRootOrFileAsRootRecordsNothing) {
    TempTree tree;
    tree.file(L"file");
    for (const std::wstring& root : {tree.path(L"missing"), tree.path(L"file"), std::wstring()}) {
        CountingPump pump;
        FolderScanner logger(makePlatformFileSystem, pump);
        EXPECT_EQ(logger.count(), 0);
        EXPECT_FALSE(logger.filesOnly());
        logger.reset();
        const int before = pump.calls;
        logger.scan(root);
        EXPECT_EQ(pump.calls, before);
        EXPECT_EQ(logger.count(), 0);
        EXPECT_EQ(logger.folderPaths()->count(), 0);
        EXPECT_EQ(logger.filePaths()->count(), 0);
    }
}

// The scanner keeps the file system's own listing order.
TEST(ScanPathLogger, KeepsTheListingOrder) {
    TempTree tree;
    for (const wchar_t* name : {L"zeta", L"Alpha", L"mid", L"beta", L"0", L"_x"}) {
        tree.file(name);
        tree.folder(std::wstring(L"D") + name);
    }
    auto fileSystem = makePlatformFileSystem();
    const std::wstring root = tree.path() + sep();
    const Names listedFiles = fileSystem->openFolder(root)->files();
    const Names listedFolders = fileSystem->openFolder(root)->subFolders();

    CountingPump pump;
    FolderScanner logger(makePlatformFileSystem, pump);
    logger.reset();
    logger.filesOnly(false);
    logger.scan(tree.path());
    EXPECT_EQ(texts(logger.fileNames()), listedFiles);
    Names folders = texts(logger.folderPaths());
    folders.erase(folders.begin());
    for (auto& f : folders) f = f.substr(root.size(), f.size() - root.size() - 1);
    EXPECT_EQ(folders, listedFolders);
}

TEST(ScanPathLogger, SecondScanWithoutInitFailsOnTheRootKey) {
    TempTree tree;
    tree.file(L"a");
    tree.file(L"S/b");
    CountingPump pump;
    FolderScanner logger(sortedFileSystem(), pump);
    logger.reset();
    logger.scan(tree.path());
    ASSERT_EQ(logger.count(), 3);

    EXPECT_EQ(errorOf([&] { logger.scan(tree.path()); }), kErrDuplicateKey);
    EXPECT_EQ(logger.count(), 1);
    EXPECT_EQ(logger.folderPaths()->count(), 2);
    EXPECT_EQ(logger.filePaths()->count(), 2);

    // reset makes the scanner ready again.
    logger.reset();
    logger.scan(tree.path());
    EXPECT_EQ(logger.count(), 3);
    EXPECT_EQ(logger.filePaths()->count(), 2);
}

TEST(ScanPathLogger, HeldCollectionOutlivesTerminateAndTheScanner) {
    TempTree tree;
    tree.file(L"a");
    tree.file(L"S/c");
    CountingPump pump;
    CollectionRef full, paths;
    {
        FolderScanner logger(sortedFileSystem(), pump);
        logger.reset();
        logger.scan(tree.path());
        full = logger.filePaths();
        paths = logger.folderPaths();
        const int before = pump.calls;
        logger.release();
        EXPECT_EQ(pump.calls - before, 1);
        EXPECT_EQ(logger.count(), 3);  // kept by release
        EXPECT_TRUE(logger.filesOnly());
        EXPECT_EQ(logger.filePaths()->count(), 0);  // a new, empty one
    }
    EXPECT_EQ(texts(full), (Names{expected(tree, L"a"), expected(tree, L"S/c")}));
    EXPECT_EQ(paths->count(), 2);
}

TEST(ScanPathLogger, UnlistableFolderEndsTheScanAndKeepsWhatWasRecorded) {
    TempTree tree;
    for (const wchar_t* f : {L"r", L"S1/s1", L"S1/T/t", L"S2/s2", L"S3/s3"}) tree.file(f);
    CountingPump pump;
    FolderScanner logger(sortedFileSystem(expected(tree, L"S2/")), pump);
    logger.reset();
    logger.filesOnly(false);
    EXPECT_EQ(errorOf([&] { logger.scan(tree.path()); }), kErrPermission);

    EXPECT_EQ(texts(logger.folderPaths()),
              (Names{expected(tree, L""), expected(tree, L"S1/"), expected(tree, L"S2/"),
                     expected(tree, L"S3/"), expected(tree, L"S1/T/")}));
    EXPECT_EQ(texts(logger.filePaths()), (Names{expected(tree, L"r"), expected(tree, L"S1/s1")}));
    EXPECT_EQ(texts(logger.fileNames()), (Names{L"r", L"s1"}));
    EXPECT_EQ(numbers(logger.fileFolderIndexes()), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(logger.count(), 3);
}

// A queued folder that is gone by the time its turn comes: the platform file
// system's own error reaches the caller.
TEST(ScanPathLogger, FolderRemovedDuringTheScanEndsIt) {
    TempTree tree;
    tree.file(L"S1/a");
    tree.file(L"S2/b");
    CountingPump pump;
    FolderScanner logger(sortedFileSystem(), pump);
    logger.reset();
    // Call 1 of the scan comes before the root is queued, 2 after the root's
    // subfolder list is read, 3 and 4 after each subfolder is queued.
    pump.actions.at(pump.calls + 4, [&] { tree.remove(L"S2"); });
    EXPECT_EQ(errorOf([&] { logger.scan(tree.path()); }), kErrPathNotFound);
    EXPECT_EQ(logger.folderPaths()->count(), 3);
    EXPECT_EQ(texts(logger.filePaths()), Names{expected(tree, L"S1/a")});
}

// release from an event handler in the middle of a scan must not leave the
// walk on freed collections.
TEST(ScanPathLogger, TerminateDuringTheScanIsSafe) {
    TempTree tree;
    tree.file(L"a");
    tree.file(L"b");
    tree.file(L"S/c");
    CountingPump pump;
    FolderScanner logger(sortedFileSystem(), pump);
    logger.reset();
    pump.actions.at(pump.calls + 6, [&] { logger.release(); });  // after file a
    EXPECT_EQ(errorOf([&] { logger.scan(tree.path()); }), kErrSubscript);
}

#ifndef _WIN32
// Links that lead to folders, here back up the tree, are not followed; a
// link to a file is a file.
TEST(ScanPathLogger, SymbolicLinkLoopsEnd) {
    TempTree tree;
    tree.file(L"a");
    tree.folder(L"S");
    ASSERT_EQ(symlink("..", tree.fsPath(L"S/up").c_str()), 0);
    ASSERT_EQ(symlink(tree.fsPath().c_str(), tree.fsPath(L"self").c_str()), 0);
    ASSERT_EQ(symlink("../a", tree.fsPath(L"S/link-to-a").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", tree.fsPath(L"dangling").c_str()), 0);
    CountingPump pump;
    FolderScanner logger(sortedFileSystem(), pump);
    logger.reset();
    logger.scan(tree.path());
    EXPECT_EQ(texts(logger.folderPaths()), (Names{expected(tree, L""), expected(tree, L"S/")}));
    EXPECT_EQ(texts(logger.filePaths()), (Names{expected(tree, L"a"), expected(tree, L"dangling"),
                                                expected(tree, L"S/link-to-a")}));
}

// Names that are not valid UTF-8 survive the trip to text and back.
TEST(ScanPathLogger, NamesThatAreNotUtf8RoundTrip) {
    TempTree tree;
    const std::string raw = std::string("bad-\xff\xfe-\xc3(-\xed\xa0\x80") + ".pst";
    const std::string full = tree.root().string() + "/" + raw;
    const int fd = ::open(full.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "12345", 5), 5);
    ::close(fd);

    CountingPump pump;
    FolderScanner logger(makePlatformFileSystem, pump);
    logger.reset();
    logger.scan(tree.path());
    ASSERT_EQ(logger.filePaths()->count(), 1);
    const std::wstring path = logger.filePaths()->text(1);
    EXPECT_EQ(makePlatformFileSystem()->fileLength(path), 5);
    EXPECT_EQ(path.substr(path.size() - 4), L".pst");
}
#endif

}  // namespace
}  // namespace pelorin::scan
