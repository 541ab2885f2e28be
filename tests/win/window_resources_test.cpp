// The programs' resources, read from pelorin.exe: the icon group with its
// fixed image ids, the manifest, the version record and the hand pointer;
// and pelorin-cli.exe's manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/resource.h"
#include "app/version.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

std::string resourceBytes(HMODULE module, LPCWSTR type, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const auto* data = static_cast<const char*>(LockResource(loaded));
    return std::string(data, SizeofResource(module, found));
}

class WindowResources : public ::testing::Test {
protected:
    void SetUp() override {
        module = programResources();
        if (!module) GTEST_SKIP() << "pelorin.exe is not built beside the tests";
    }
    HMODULE module = nullptr;
};

#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(WindowResources, IconGroupHoldsFourImagesWithFixedIds) {
    const std::string group = resourceBytes(module, MAKEINTRESOURCEW(14), IDI_APP);
    ASSERT_GE(group.size(), 6u + 4 * sizeof(GroupEntry));
    const auto* head = reinterpret_cast<const WORD*>(group.data());
    EXPECT_EQ(head[1], 1);  // icons
    ASSERT_EQ(head[2], 4);
    const auto* entries = reinterpret_cast<const GroupEntry*>(group.data() + 6);
    const struct {
        int size, bits, id;
    } expected[] = {{16, 8, 30001}, {32, 8, 30002}, {16, 32, 30003}, {32, 32, 30004}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].width, expected[i].size);
        EXPECT_EQ(entries[i].height, expected[i].size);
        EXPECT_EQ(entries[i].bitCount, expected[i].bits);
        EXPECT_EQ(entries[i].id, expected[i].id);
        const std::string image = resourceBytes(module, MAKEINTRESOURCEW(3), expected[i].id);
        ASSERT_EQ(image.size(), entries[i].bytes);
        const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
        EXPECT_EQ(info->biWidth, expected[i].size);
        EXPECT_EQ(info->biHeight, 2 * expected[i].size);
        EXPECT_EQ(info->biBitCount, expected[i].bits);
    }
}

// The four numbers of version.h, as both manifests name their assembly.
std::string assemblyVersion() {
    return "version=\"" + std::to_string(PELORIN_VERSION_MAJOR) + "." +
           std::to_string(PELORIN_VERSION_MINOR) + "." + std::to_string(PELORIN_VERSION_BUILD) +
           "." + std::to_string(PELORIN_VERSION_REVISION) + "\"";
}

TEST_F(WindowResources, ManifestAsksForCommonControlsSix) {
    const std::string manifest = resourceBytes(module, MAKEINTRESOURCEW(24), 1);
    ASSERT_FALSE(manifest.empty());
    const std::string identity =
        std::string("name=\"Quennet.Pelorin\" processorArchitecture=\"x86\" ") + assemblyVersion();
    for (const std::string part :
         {std::string("type=\"win32\""), identity, std::string("<description></description>"),
          std::string("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
          std::string("publicKeyToken=\"6595b64144ccf1df\" language=\"*\"")})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

TEST(CliResources, ManifestRunsAsInvokerWithTheProgramsVersion) {
    const HMODULE cli = LoadLibraryExW(besideTestProgram(L"pelorin-cli.exe").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!cli) GTEST_SKIP() << "pelorin-cli.exe is not built beside the tests";
    const std::string manifest = resourceBytes(cli, MAKEINTRESOURCEW(24), 1);
    FreeLibrary(cli);
    for (const std::string part :
         {std::string("name=\"Pelorin.Cli\" processorArchitecture=\"x86\" ") + assemblyVersion(),
          std::string("level=\"asInvoker\"")})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

// Run as the user who starts it (no elevation prompt), and on each Windows
// from 7 to 11 with that version's own behaviour, not a compatibility one.
TEST_F(WindowResources, ManifestRunsAsInvokerOnWindows7To11) {
    const std::string manifest = resourceBytes(module, MAKEINTRESOURCEW(24), 1);
    for (const char* part : {"<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",   // 7
                             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",   // 8
                             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",   // 8.1
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})  // 10 and 11
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

TEST_F(WindowResources, VersionRecord) {
    HMODULE versionDll = LoadLibraryW(L"version.dll");
    ASSERT_NE(versionDll, nullptr);
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    const auto entry = [&](const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(versionDll, name));
    };
    auto size = reinterpret_cast<SizeFn>(entry("GetFileVersionInfoSizeW"));
    auto info = reinterpret_cast<InfoFn>(entry("GetFileVersionInfoW"));
    auto query = reinterpret_cast<QueryFn>(entry("VerQueryValueW"));
    const std::wstring path = programPath();
    DWORD ignored = 0;
    std::vector<char> block(size(path.c_str(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(info(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(query(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 3));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 3));

    DWORD* translation = nullptr;
    ASSERT_TRUE(query(block.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(*translation, MAKELONG(0x0409, 1200));

    const struct {
        const wchar_t* key;
        const wchar_t* value;
    } strings[] = {{L"ProductName", L"Pelorin"},
                   {L"FileDescription", L"Add Multiple PST files in Outlook"},
                   {L"FileVersion", L"3.00"},
                   {L"ProductVersion", L"3.00"}};
    for (const auto& s : strings) {
        wchar_t* value = nullptr;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + s.key;
        ASSERT_TRUE(query(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            << s.key;
        EXPECT_STREQ(value, s.value);
    }
    FreeLibrary(versionDll);
}

TEST_F(WindowResources, HandPointerIs32By32WithHotSpotAtFiveZero) {
    HCURSOR hand = static_cast<HCURSOR>(
        LoadImageW(module, MAKEINTRESOURCEW(IDC_HAND_LINK), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
    ASSERT_NE(hand, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 0u);
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, info.hbmColor ? 32 : 64);  // monochrome: AND and XOR stacked
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyCursor(hand);
}

TEST_F(WindowResources, BannerIs600By71) {
    HBITMAP banner = static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(banner, nullptr);
    BITMAP bm{};
    GetObjectW(banner, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 600);
    EXPECT_EQ(bm.bmHeight, 71);
    DeleteObject(banner);
}

}  // namespace
}  // namespace pelorin::test
