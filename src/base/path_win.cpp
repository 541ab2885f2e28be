#include "base/path_win.h"

#include <windows.h>

#include <string_view>

#include "base/error.h"

namespace pelorin {

namespace {

// The Windows calls take a path up to its first NUL: one past it would name
// another file ("C:\mail\a.pst<NUL>x" is "C:\mail\a.pst").
void refuseNul(const std::wstring& path) {
    if (path.find(L'\0') != std::wstring::npos)
        throw Error(kErrPathNotFound, L"The path holds a NUL character, so it names no file",
                    static_cast<std::int32_t>(HRESULT_FROM_WIN32(ERROR_INVALID_NAME)));
}

}  // namespace

std::wstring fullPath(const std::wstring& path) {
    refuseNul(path);
    if (path.empty() || path.rfind(L"\\\\?\\", 0) == 0) return path;
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    size = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (size == 0 || size >= full.size()) return path;
    full.resize(size);
    return full;
}

namespace {

// Whether the path is already absolute and plain: a drive path (C:\dir) or a
// share path (\\server\share\dir), backslashes only, no empty, "." or ".."
// component. Such a path can take the \\?\ prefix as it is;
// normalising it would trim the dots and spaces a name may end in ("Mail.",
// "x.pst ") and name another file.
bool isPlainAbsolute(const std::wstring& path) {
    std::size_t start = 0;
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        start = 3;
    else if (path.rfind(L"\\\\", 0) == 0 && path.size() > 2 && path[2] != L'.' && path[2] != L'?')
        start = 2;
    else
        return false;
    if (path.find(L'/') != std::wstring::npos) return false;
    while (start < path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        const std::wstring_view part(path.data() + start, end - start);
        if (part.empty() || part == L"." || part == L"..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

std::wstring longPath(const std::wstring& path) {
    refuseNul(path);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path;
    const std::wstring full = isPlainAbsolute(path) ? path : fullPath(path);
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

UniqueFile openFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return UniqueFile(::CreateFileW(longPath(path).c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace pelorin
