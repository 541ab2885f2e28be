// Junctions and folder links on Windows: the scan lists them as nothing, so
// one that leads back up the tree cannot make a scan run forever.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "scan/path_logger.h"
#include "support/temp_tree.h"

namespace pelorin::scan {
namespace {

class NoEvents final : public ui::EventPump {
public:
    void doEvents() override {}
};

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
    HANDLE h = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
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
    const BOOL ok = DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, &buffer,
                                    8 + buffer.ReparseDataLength, nullptr, 0, &returned, nullptr);
    CloseHandle(h);
    if (!ok) RemoveDirectoryW(link.c_str());
    return ok != FALSE;
}

std::vector<std::wstring> texts(const CollectionRef& c) {
    std::vector<std::wstring> out;
    for (std::int32_t i = 1; i <= c->Count(); ++i) out.push_back(c->Text(i));
    return out;
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

    NoEvents events;
    pathLogger logger(makePlatformFileSystem, events);
    logger.PathLogInit();
    logger.LogPath(tree.path());
    EXPECT_EQ(texts(logger.pathNames()),
              (std::vector<std::wstring>{tree.path() + L"\\", tree.path(L"S") + L"\\"}));
    EXPECT_EQ(texts(logger.fullFileNames()), std::vector<std::wstring>{tree.path(L"S\\a.pst")});
}

}  // namespace
}  // namespace pelorin::scan
