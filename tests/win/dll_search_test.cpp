// The DLL search both programs set up first thing: a DLL named by its bare
// name is found in the system folder only, never beside the program.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/dll_search_win.h"

namespace pelorin {
namespace {

constexpr wchar_t kBesideOnly[] = L"pelorin_beside.dll";  // tests/win/beside

bool loads(const wchar_t* name) {
    const HMODULE module = ::LoadLibraryW(name);
    if (module) ::FreeLibrary(module);
    return module != nullptr;
}

TEST(DllSearch, ADllBesideTheProgramLoadsOnlyUntilTheSearchIsRestricted) {
    ASSERT_TRUE(loads(kBesideOnly)) << "the test DLL is not beside the test program";
    ASSERT_TRUE(restrictDllSearchToSystem());
    EXPECT_FALSE(loads(kBesideOnly));
    EXPECT_TRUE(loads(L"version.dll"));  // the system's own still load
    // The rest of this process searches as before.
    ::SetDllDirectoryW(nullptr);
    using SetDefault = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefault>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

}  // namespace
}  // namespace pelorin
