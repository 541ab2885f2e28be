#include <windows.h>

#include <cwchar>

#include "base/handles_win.h"
#include "base/path_win.h"
#include "pst/attach_step.h"
#include "pst/name_pattern.h"

namespace pelorin::pst {

namespace {

// The path without a \\?\ or \\?\UNC\ prefix: C:\dir\x.pst, \\server\share\x.pst.
std::wstring withoutPrefix(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

}  // namespace

std::wstring fileKey(const std::wstring& path) {
    // No access asked for: a file Outlook holds open can still be named.
    const UniqueFile file =
        openFile(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    BY_HANDLE_FILE_INFORMATION info;
    if (file && ::GetFileInformationByHandle(file.get(), &info)) {
        wchar_t key[32];
        std::swprintf(key, 32, L"#%08lX:%08lX%08lX", info.dwVolumeSerialNumber, info.nFileIndexHigh,
                      info.nFileIndexLow);
        return key;
    }
    return pathKey(path);
}

std::wstring pathKey(const std::wstring& path) {
    return caseFolded(fullPath(withoutPrefix(path)));
}

std::wstring caseFolded(const std::wstring& text) {
    std::wstring upper(text.size(), L'\0');
    const int n = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(),
                                  static_cast<int>(text.size()), upper.data(),
                                  static_cast<int>(upper.size()), nullptr, nullptr, 0);
    return n == static_cast<int>(text.size()) ? upper : text;
}

}  // namespace pelorin::pst
