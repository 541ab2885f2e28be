// Paths of big trees on Windows: names that end in dots or spaces, made on
// the host beside the test program, are listed and measured under their own
// names; the program may use the whole address space a 64-bit Windows gives
// a 32-bit process.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "pst/pst_scan.h"
#include "scan/filesystem.h"
#include "support/collection_texts.h"
#include "base/event_pump.h"
#include "win/harness_win.h"

namespace pelorin::scan {
namespace {

TEST(ScanPaths, NamesEndingInDotsOrSpacesAreListedAndMeasured) {
    std::wstring root = test::programPath();
    root.erase(root.find_last_of(L"\\/")) += L"\\names-tree\\";
    if (GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no names-tree beside the test program";
    NoEvents pump;
    const auto found = pst::scanForPsts(root, makePlatformFileSystem, pump);
    std::vector<std::wstring> paths = test::texts(found.paths);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::wstring>{root + L"Mail.\\x.pst ", root + L"Mail.\\y.pst"}));
    EXPECT_TRUE(found.skippedFolders.empty());

    const auto fs = makePlatformFileSystem();
    EXPECT_EQ(fs->fileLength(root + L"Mail.\\x.pst "), 1536);
    EXPECT_EQ(fs->fileLength(root + L"Mail.\\y.pst"), 3072);
    EXPECT_EQ(fs->fileLength(root + L"z.pst."), 1);
    EXPECT_TRUE(fs->folderExists(root + L"Mail."));
    EXPECT_FALSE(fs->folderExists(root + L"Mail"));  // not the same folder
}

TEST(ScanPaths, TheProgramIsLargeAddressAware) {
    std::ifstream exe(test::programPath().c_str(), std::ios::binary);
    if (!exe) GTEST_SKIP() << "pelorin.exe is not built";
    std::vector<char> image(4096);
    exe.read(image.data(), static_cast<std::streamsize>(image.size()));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    ASSERT_LT(dos->e_lfanew + sizeof(IMAGE_NT_HEADERS32), image.size());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
    EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE);
}

}  // namespace
}  // namespace pelorin::scan
