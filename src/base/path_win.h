// Paths on Windows: the full form of a path, the \\?\ form the file APIs
// need past MAX_PATH, and the one comparison of two paths (the file system's
// own: case-insensitive, ordinal, after both are made full). A path holding a
// NUL character names no file: each of them raises pelorin::Error for it
// rather than hand the system the part before the NUL.
#pragma once
#include <windows.h>

#include <string>

#include "base/handles_win.h"

namespace pelorin {

// The absolute, normalised form of a path (GetFullPathNameW); the path
// itself when that fails.
std::wstring fullPath(const std::wstring& path);

// The absolute form prefixed with \\?\ (\\?\UNC\ for a share), for the file
// APIs. A path already in that form, or a device path, is passed on as is;
// a plain absolute path is prefixed without normalising, so names that end
// in dots or spaces keep them.
std::wstring longPath(const std::wstring& path);

// Whether two paths name the same place: both made full, then compared
// ordinally without regard to case, as the file system compares names.
bool samePath(const std::wstring& a, const std::wstring& b);

// CreateFileW on the path's long form; no handle when that fails.
UniqueFile openFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition);

}  // namespace pelorin
