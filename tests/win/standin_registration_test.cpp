// The stand-in's registration never takes over a ProgID that belongs to
// another program, and never removes one either. Tried on a ProgID of the
// test's own, so a real registration is never at stake.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/handles_win.h"
#include "outlook-standin/standin_ids.h"

namespace {

constexpr wchar_t kTestProgId[] = L"Pelorin.StandinTest.Foreign";
constexpr wchar_t kForeignClsid[] = L"{0006F03A-0000-0000-C000-0000000000FF}";

std::wstring standinExe() {
    std::vector<wchar_t> self(32768);
    const DWORD n = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    std::wstring path(self.data(), n);
    return path.substr(0, path.find_last_of(L'\\')) +
           L"\\tools\\outlook-standin\\outlook-standin.exe";
}

DWORD run(const std::wstring& exe, const std::wstring& args) {
    std::wstring line = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return 0xFFFFFFFF;
    const pelorin::UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    ::WaitForSingleObject(process.get(), 30000);
    DWORD code = 0xFFFFFFFE;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

std::wstring readDefault(HKEY root, const std::wstring& key) {
    wchar_t value[256] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (::RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return L"(none)";
    return value;
}

TEST(StandinRegistration, LeavesAProgIdOfAnotherProgramAlone) {
    const std::wstring exe = standinExe();
    if (::GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "outlook-standin.exe not built";
    const std::wstring ours = std::wstring(L"Software\\Classes\\CLSID\\") + standin::kClsidText;
    const std::wstring oursBefore = readDefault(HKEY_LOCAL_MACHINE, ours + L"\\ProgID");

    struct Place {
        HKEY root;
        const char* name;
    } places[] = {{HKEY_LOCAL_MACHINE, "machine"}, {HKEY_CURRENT_USER, "user"}};
    for (const auto& place : places) {
        SCOPED_TRACE(place.name);
        const std::wstring key = std::wstring(L"Software\\Classes\\") + kTestProgId;
        ASSERT_EQ(::RegSetKeyValueW(place.root, (key + L"\\CLSID").c_str(), nullptr, REG_SZ,
                                    kForeignClsid, sizeof kForeignClsid),
                  ERROR_SUCCESS);

        EXPECT_NE(run(exe, std::wstring(L"/regserver /progid:") + kTestProgId), 0u);
        EXPECT_NE(run(exe, std::wstring(L"/unregserver /progid:") + kTestProgId), 0u);
        EXPECT_EQ(readDefault(place.root, key + L"\\CLSID"), kForeignClsid);
        // Nothing of the stand-in's own registration moved either.
        EXPECT_EQ(readDefault(HKEY_LOCAL_MACHINE, ours + L"\\ProgID"), oursBefore);

        ::RegDeleteTreeW(place.root, key.c_str());
    }
}

// Where Outlook's own class is registered, a real Outlook is installed: the
// stand-in does not register at all, under any ProgID.
TEST(StandinRegistration, RefusesWhereOutlookItselfIsRegistered) {
    const std::wstring exe = standinExe();
    if (::GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "outlook-standin.exe not built";
    const std::wstring outlook =
        L"Software\\Classes\\CLSID\\{0006F03A-0000-0000-C000-000000000046}";
    const std::wstring progId = std::wstring(L"Software\\Classes\\") + kTestProgId;
    ASSERT_EQ(
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, outlook.c_str(), nullptr, REG_SZ, L"Outlook", 16),
        ERROR_SUCCESS);
    EXPECT_EQ(run(exe, std::wstring(L"/regserver /progid:") + kTestProgId), 3u);
    EXPECT_EQ(readDefault(HKEY_LOCAL_MACHINE, progId + L"\\CLSID"), L"(none)");
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, outlook.c_str());
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, progId.c_str());
}

}  // namespace
