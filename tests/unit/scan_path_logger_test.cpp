// The folder scanner on real temporary trees, through the platform's own
// file system (POSIX natively, Win32 under Wine). Listing order is the file
// system's; where a test needs a known order it reads the tree through a
// wrapper that sorts every listing.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "scan/path_logger.h"
#include "support/error_of.h"
#include "support/temp_tree.h"
#include "ui/error.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pelorin::scan {
namespace {

using test::TempTree;
using Names = std::vector<std::wstring>;

class CountingPump final : public ui::EventPump {
public:
    void doEvents() override {
        ++calls;
        if (auto it = actions.find(calls); it != actions.end()) it->second();
    }
    int calls = 0;
    std::map<int, std::function<void()>> actions;  // run inside the call with this number
};

class SortedFolder final : public Folder {
public:
    explicit SortedFolder(std::unique_ptr<Folder> inner) : inner_(std::move(inner)) {}
    Names SubFolders() override { return sorted(inner_->SubFolders()); }
    Names Files() override { return sorted(inner_->Files()); }

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
    bool FolderExists(const std::wstring& path) override { return inner_->FolderExists(path); }
    std::unique_ptr<Folder> GetFolder(const std::wstring& path) override {
        if (!failing_.empty() && path == failing_) throw Error(kErrPermission, L"Permission denied");
        return std::make_unique<SortedFolder>(inner_->GetFolder(path));
    }
    std::int64_t FileLength(const std::wstring& path) override { return inner_->FileLength(path); }

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

Names texts(const CollectionRef& collection) {
    Names out;
    for (std::int32_t i = 1; i <= collection->Count(); ++i) out.push_back(collection->Text(i));
    return out;
}

std::vector<std::int32_t> numbers(const CollectionRef& collection) {
    std::vector<std::int32_t> out;
    for (std::int32_t i = 1; i <= collection->Count(); ++i) out.push_back(collection->Number(i));
    return out;
}

using test::errorOf;

struct TreeCase {
    const char* name;
    Names folders;   // relative, created first
    Names files;     // relative
    bool fullOnly;
    Names pathNames;  // relative, "" is the root
    Names fullFileNames;
    Names fileNames;                     // checked when !fullOnly
    std::vector<std::int32_t> pointers;  // checked when !fullOnly
    int logPathEvents;
};

void PrintTo(const TreeCase& c, std::ostream* os) { *os << c.name; }

const TreeCase kTrees[] = {
    {"EmptyRoot", {}, {}, true, {L""}, {}, {}, {}, 1 + 4},
    {"FilesAndSubfolderFullOnly", {}, {L"a", L"b", L"S/c"}, true,
     {L"", L"S/"}, {L"a", L"b", L"S/c"}, {}, {}, 1 + 7 + 5},
    {"FilesAndSubfolderAllThree", {}, {L"a", L"b", L"S/c"}, false,
     {L"", L"S/"}, {L"a", L"b", L"S/c"}, {L"a", L"b", L"c"}, {1, 1, 2}, 1 + 7 + 5},
    // Breadth first: S2 is queued before T, and S2's files come before T's.
    {"QueueOrderIsBreadthFirst", {}, {L"r", L"S1/T/t", L"S1/s1", L"S2/s2"}, false,
     {L"", L"S1/", L"S2/", L"S1/T/"}, {L"r", L"S1/s1", L"S2/s2", L"S1/T/t"},
     {L"r", L"s1", L"s2", L"t"}, {1, 2, 3, 4}, 1 + 7 + 6 + 5 + 5},
    {"EmptySubfoldersAreQueued", {L"A", L"B/C"}, {L"B/x"}, false,
     {L"", L"A/", L"B/", L"B/C/"}, {L"B/x"}, {L"x"}, {3}, 1 + 6 + 4 + 6 + 4},
    {"UnicodeNamesKeptExactly", {}, {L"Ordner \u00df/\u00dcn\u00efc\u00f8d\u00e9 \u20ac \U0001F600.PST"}, false,
     {L"", L"Ordner \u00df/"}, {L"Ordner \u00df/\u00dcn\u00efc\u00f8d\u00e9 \u20ac \U0001F600.PST"},
     {L"\u00dcn\u00efc\u00f8d\u00e9 \u20ac \U0001F600.PST"}, {2}, 1 + 5 + 5},
};

class ScanTree : public ::testing::TestWithParam<TreeCase> {};

TEST_P(ScanTree, RecordsFoldersAndFiles) {
    const TreeCase& c = GetParam();
    TempTree tree;
    for (const auto& f : c.folders) tree.folder(f);
    for (const auto& f : c.files) tree.file(f, 10);

    CountingPump pump;
    pathLogger logger(sortedFileSystem(), pump);
    logger.PathLogInit();
    EXPECT_TRUE(logger.fullFileNamesOnly());
    logger.fullFileNamesOnly(c.fullOnly);
    const int before = pump.calls;
    logger.LogPath(tree.path());
    EXPECT_EQ(pump.calls - before, c.logPathEvents);

    Names paths, full;
    for (const auto& p : c.pathNames) paths.push_back(expected(tree, p));
    for (const auto& f : c.fullFileNames) full.push_back(expected(tree, f));
    EXPECT_EQ(texts(logger.pathNames()), paths);
    EXPECT_EQ(texts(logger.fullFileNames()), full);
    EXPECT_EQ(texts(logger.fileNames()), c.fullOnly ? Names{} : c.fileNames);
    EXPECT_EQ(numbers(logger.pathPointers()),
              c.fullOnly ? std::vector<std::int32_t>{} : c.pointers);
    EXPECT_EQ(logger.Count(), static_cast<std::int32_t>(c.files.size()) + 1);

    // Keys: the root is K0, the n-th folder Kn (no K1); the k-th file is Kk
    // in every file collection.
    const auto pathNames = logger.pathNames();
    EXPECT_TRUE(pathNames->HasKey(L"K0"));
    EXPECT_FALSE(pathNames->HasKey(L"K1"));
    for (std::int32_t n = 2; n <= pathNames->Count(); ++n)
        EXPECT_TRUE(pathNames->HasKey(L"K" + std::to_wstring(n))) << n;
    for (const auto& files : {logger.fullFileNames(), logger.fileNames(), logger.pathPointers()}) {
        for (std::int32_t k = 1; k <= files->Count(); ++k)
            EXPECT_TRUE(files->HasKey(L"K" + std::to_wstring(k))) << k;
        EXPECT_FALSE(files->HasKey(L"K" + std::to_wstring(files->Count() + 1)));
    }
}

INSTANTIATE_TEST_SUITE_P(Scan, ScanTree, ::testing::ValuesIn(kTrees),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScanPathLogger, RootWithOrWithoutTrailingSeparatorIsStoredWithOne) {
    TempTree tree;
    tree.file(L"f");
    for (const std::wstring& root : {tree.path(), tree.path() + sep()}) {
        CountingPump pump;
        pathLogger logger(makePlatformFileSystem, pump);
        logger.PathLogInit();
        logger.LogPath(root);
        EXPECT_EQ(texts(logger.pathNames()), Names{tree.path() + sep()});
        EXPECT_EQ(texts(logger.fullFileNames()), Names{expected(tree, L"f")});
    }
}

TEST(ScanPathLogger, MissingRootOrFileAsRootRecordsNothing) {
    TempTree tree;
    tree.file(L"file");
    for (const std::wstring& root : {tree.path(L"missing"), tree.path(L"file"), std::wstring()}) {
        CountingPump pump;
        pathLogger logger(makePlatformFileSystem, pump);
        EXPECT_EQ(logger.Count(), 0);
        EXPECT_FALSE(logger.fullFileNamesOnly());
        logger.PathLogInit();
        const int before = pump.calls;
        logger.LogPath(root);
        EXPECT_EQ(pump.calls, before);
        EXPECT_EQ(logger.Count(), 0);
        EXPECT_EQ(logger.pathNames()->Count(), 0);
        EXPECT_EQ(logger.fullFileNames()->Count(), 0);
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
    const Names listedFiles = fileSystem->GetFolder(root)->Files();
    const Names listedFolders = fileSystem->GetFolder(root)->SubFolders();

    CountingPump pump;
    pathLogger logger(makePlatformFileSystem, pump);
    logger.PathLogInit();
    logger.fullFileNamesOnly(false);
    logger.LogPath(tree.path());
    EXPECT_EQ(texts(logger.fileNames()), listedFiles);
    Names folders = texts(logger.pathNames());
    folders.erase(folders.begin());
    for (auto& f : folders) f = f.substr(root.size(), f.size() - root.size() - 1);
    EXPECT_EQ(folders, listedFolders);
}

TEST(ScanPathLogger, SecondScanWithoutInitFailsOnTheRootKey) {
    TempTree tree;
    tree.file(L"a");
    tree.file(L"S/b");
    CountingPump pump;
    pathLogger logger(sortedFileSystem(), pump);
    logger.PathLogInit();
    logger.LogPath(tree.path());
    ASSERT_EQ(logger.Count(), 3);

    EXPECT_EQ(errorOf([&] { logger.LogPath(tree.path()); }), kErrDuplicateKey);
    EXPECT_EQ(logger.Count(), 1);
    EXPECT_EQ(logger.pathNames()->Count(), 2);
    EXPECT_EQ(logger.fullFileNames()->Count(), 2);

    // PathLogInit makes the scanner ready again.
    logger.PathLogInit();
    logger.LogPath(tree.path());
    EXPECT_EQ(logger.Count(), 3);
    EXPECT_EQ(logger.fullFileNames()->Count(), 2);
}

TEST(ScanPathLogger, HeldCollectionOutlivesTerminateAndTheScanner) {
    TempTree tree;
    tree.file(L"a");
    tree.file(L"S/c");
    CountingPump pump;
    CollectionRef full, paths;
    {
        pathLogger logger(sortedFileSystem(), pump);
        logger.PathLogInit();
        logger.LogPath(tree.path());
        full = logger.fullFileNames();
        paths = logger.pathNames();
        const int before = pump.calls;
        logger.Terminate();
        EXPECT_EQ(pump.calls - before, 1);
        EXPECT_EQ(logger.Count(), 3);  // kept by Terminate
        EXPECT_TRUE(logger.fullFileNamesOnly());
        EXPECT_EQ(logger.fullFileNames()->Count(), 0);  // a new, empty one
    }
    EXPECT_EQ(texts(full), (Names{expected(tree, L"a"), expected(tree, L"S/c")}));
    EXPECT_EQ(paths->Count(), 2);
}

TEST(ScanPathLogger, UnlistableFolderEndsTheScanAndKeepsWhatWasRecorded) {
    TempTree tree;
    for (const wchar_t* f : {L"r", L"S1/s1", L"S1/T/t", L"S2/s2", L"S3/s3"}) tree.file(f);
    CountingPump pump;
    pathLogger logger(sortedFileSystem(expected(tree, L"S2/")), pump);
    logger.PathLogInit();
    logger.fullFileNamesOnly(false);
    EXPECT_EQ(errorOf([&] { logger.LogPath(tree.path()); }), kErrPermission);

    EXPECT_EQ(texts(logger.pathNames()),
              (Names{expected(tree, L""), expected(tree, L"S1/"), expected(tree, L"S2/"),
                     expected(tree, L"S3/"), expected(tree, L"S1/T/")}));
    EXPECT_EQ(texts(logger.fullFileNames()), (Names{expected(tree, L"r"), expected(tree, L"S1/s1")}));
    EXPECT_EQ(texts(logger.fileNames()), (Names{L"r", L"s1"}));
    EXPECT_EQ(numbers(logger.pathPointers()), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(logger.Count(), 3);
}

// A queued folder that is gone by the time its turn comes: the platform file
// system's own error reaches the caller.
TEST(ScanPathLogger, FolderRemovedDuringTheScanEndsIt) {
    TempTree tree;
    tree.file(L"S1/a");
    tree.file(L"S2/b");
    CountingPump pump;
    pathLogger logger(sortedFileSystem(), pump);
    logger.PathLogInit();
    // Call 1 of the scan comes before the root is queued, 2 after the root's
    // subfolder list is read, 3 and 4 after each subfolder is queued.
    pump.actions[pump.calls + 4] = [&] { tree.remove(L"S2"); };
    EXPECT_EQ(errorOf([&] { logger.LogPath(tree.path()); }), kErrPathNotFound);
    EXPECT_EQ(logger.pathNames()->Count(), 3);
    EXPECT_EQ(texts(logger.fullFileNames()), Names{expected(tree, L"S1/a")});
}

// Terminate from an event handler in the middle of a scan must not leave the
// walk on freed collections.
TEST(ScanPathLogger, TerminateDuringTheScanIsSafe) {
    TempTree tree;
    tree.file(L"a");
    tree.file(L"b");
    tree.file(L"S/c");
    CountingPump pump;
    pathLogger logger(sortedFileSystem(), pump);
    logger.PathLogInit();
    pump.actions[pump.calls + 6] = [&] { logger.Terminate(); };  // after file a
    EXPECT_EQ(errorOf([&] { logger.LogPath(tree.path()); }), kErrSubscript);
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
    pathLogger logger(sortedFileSystem(), pump);
    logger.PathLogInit();
    logger.LogPath(tree.path());
    EXPECT_EQ(texts(logger.pathNames()), (Names{expected(tree, L""), expected(tree, L"S/")}));
    EXPECT_EQ(texts(logger.fullFileNames()),
              (Names{expected(tree, L"a"), expected(tree, L"dangling"), expected(tree, L"S/link-to-a")}));
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
    pathLogger logger(makePlatformFileSystem, pump);
    logger.PathLogInit();
    logger.LogPath(tree.path());
    ASSERT_EQ(logger.fullFileNames()->Count(), 1);
    const std::wstring path = logger.fullFileNames()->Text(1);
    EXPECT_EQ(makePlatformFileSystem()->FileLength(path), 5);
    EXPECT_EQ(path.substr(path.size() - 4), L".pst");
}
#endif

}  // namespace
}  // namespace pelorin::scan
