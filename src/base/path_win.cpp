#include "base/path_win.h"

#include <windows.h>

namespace pelorin {

std::wstring fullPath(const std::wstring& path) {
    if (path.empty() || path.rfind(L"\\\\?\\", 0) == 0) return path;
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    size = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (size == 0 || size >= full.size()) return path;
    full.resize(size);
    return full;
}

std::wstring longPath(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0) return path;
    const std::wstring full = fullPath(path);
    if (full.rfind(L"\\\\.\\", 0) == 0) return full;  // a device path
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 2 && full[1] == L':') return L"\\\\?\\" + full;
    return full;
}

bool samePath(const std::wstring& a, const std::wstring& b) {
    const std::wstring x = fullPath(a);
    const std::wstring y = fullPath(b);
    return CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(),
                                static_cast<int>(y.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace pelorin
