#include "base/dll_search_win.h"

#include <windows.h>

namespace pelorin {

bool restrictDllSearchToSystem() {
    ::SetDllDirectoryW(L"");
    using SetDefault = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = kernel ? reinterpret_cast<SetDefault>(reinterpret_cast<void*>(
                                         ::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                   : nullptr;
    return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace pelorin
