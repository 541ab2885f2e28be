// Junctions and folder links on Windows: the scan lists them as nothing, so
// one that leads back up the tree cannot make a scan run forever.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "scan/folder_scanner.h"
#include "support/collection_texts.h"
#include "base/event_pump.h"
#include "support/temp_tree.h"

namespace pelorin::scan {
namespace {

// The reparse data of a mount point (junction), as FSCTL_SET_REPARSE_POINT
// takes it.
struct MountPointBuffer {
    DWORD ReparseTag;
    WORD ReparseDataLength;
    WORD Reserved;
    WORD SubstituteNameOffset;
    WORD SubstituteNameLength;
    WORD PrintNameOffset;
    WORD PrintNameLength;
    WCHAR PathBuffer[1024];
};

bool makeJunction(const std::wstring& link, const std::wstring& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
    UniqueFile file(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                nullptr));
    if (!file) return false;
    const std::wstring substitute = L"\\??\\" + target;
    MountPointBuffer buffer{};
    buffer.ReparseTag = IO_REPARSE_TAG_MOUNT_POINT;
    const WORD subBytes = static_cast<WORD>(substitute.size() * sizeof(WCHAR));
    const WORD printBytes = static_cast<WORD>(target.size() * sizeof(WCHAR));
    buffer.SubstituteNameOffset = 0;
    buffer.SubstituteNameLength = subBytes;
    buffer.PrintNameOffset = static_cast<WORD>(subBytes + sizeof(WCHAR));
    buffer.PrintNameLength = printBytes;
    memcpy(buffer.PathBuffer, substitute.c_str(), subBytes);
    memcpy(reinterpret_cast<char*>(buffer.PathBuffer) + buffer.PrintNameOffset, target.c_str(),
           printBytes);
    buffer.ReparseDataLength =
        static_cast<WORD>(8 + buffer.PrintNameOffset + printBytes + sizeof(WCHAR));
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(file.get(), FSCTL_SET_REPARSE_POINT, &buffer,
                                    8 + buffer.ReparseDataLength, nullptr, 0, &returned, nullptr);
    file.reset();
    if (!ok) RemoveDirectoryW(link.c_str());
    return ok != FALSE;
}

using test::texts;

// Scans `root` (no trailing separator): only S and S\a.pst are found.
void expectLinksSkipped(const std::wstring& root) {
    NoEvents events;
    FolderScanner logger(makePlatformFileSystem, events);
    logger.reset();
    logger.scan(root);
    EXPECT_EQ(texts(logger.folderPaths()),
              (std::vector<std::wstring>{root + L"\\", root + L"\\S\\"}));
    EXPECT_EQ(texts(logger.filePaths()), std::vector<std::wstring>{root + L"\\S\\a.pst"});
}

TEST(ScanReparse, JunctionsAndFolderLinksAreNotFollowed) {
    test::TempTree tree;
    tree.file(L"S/a.pst");
    const bool junction = makeJunction(tree.path(L"S\\back"), tree.path());
    // Some systems report success without making the link: look for it.
    CreateSymbolicLinkW(tree.path(L"up").c_str(), tree.path().c_str(),
                        SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* unprivileged */);
    const bool link = GetFileAttributesW(tree.path(L"up").c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!junction && !link) GTEST_SKIP() << "no junctions or folder links on this file system";

    expectLinksSkipped(tree.path());
}

// The build makes loop-tree\S\back, a host folder link to loop-tree, beside
// the test program.
TEST(ScanReparse, HostFolderLinksAreNotFollowed) {
    wchar_t self[MAX_PATH * 4]{};
    GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    std::wstring root = self;
    root.erase(root.find_last_of(L"\\/")) += L"\\loop-tree";
    if (GetFileAttributesW((root + L"\\S\\back").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no host folder link beside the test program";
    expectLinksSkipped(root);
}

}  // namespace
}  // namespace pelorin::scan
