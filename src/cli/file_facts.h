// What pelorin-cli learns of one file on disk, and the service that finds it
// out (Win32: file_probe_win.cpp; tests script it). The verdict of `check`
// is drawn from these facts alone, portably.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/records.h"

namespace pelorin::cli {

struct FileFacts {
    bool exists = false;  // a file (not a folder) at the path
    std::int64_t size = 0;
    std::vector<std::uint8_t> head;  // the first bytes, up to the PST header's length
    bool headRead = false;           // false: the file could not be read at all
    bool readOnly = false;
    bool inUse = false;     // another process holds it open
    bool network = false;   // a UNC path or a remote drive
    bool oneDrive = false;  // inside a folder OneDrive keeps in sync
};

class FileProbe {
public:
    virtual ~FileProbe() = default;
    virtual FileFacts facts(const std::wstring& path) = 0;
    // The whole file, or nothing when it cannot be read.
    virtual std::optional<std::string> readAll(const std::wstring& path) = 0;
    // Writes (replaces) the file; false when that fails.
    virtual bool writeAll(const std::wstring& path, const std::string& bytes) = 0;
    // Whether two paths name the same file, as the file system compares them.
    virtual bool samePath(const std::wstring& a, const std::wstring& b) = 0;
    // The absolute form of a path: Outlook would resolve a relative one
    // against its own current folder.
    virtual std::wstring fullPath(const std::wstring& path) = 0;
};

// Outlook's default size limits (its MaxFileSize / WarnFileSize and
// MaxLargeFileSize / WarnLargeFileSize settings) in bytes.
inline constexpr std::int64_t kAnsiLimit = 2'075'149'312;  // about 1.93 GB
inline constexpr std::int64_t kAnsiWarn = 1'950'368'768;
inline constexpr std::int64_t kUnicodeLimit = 51'200LL * 1024 * 1024;  // 50 GB
inline constexpr std::int64_t kUnicodeWarn = 48'640LL * 1024 * 1024;

// The format named from the header: "Unicode PST", "ANSI PST", "OST",
// "not a PST" or "damaged"; empty when the file could not be read.
std::wstring formatOf(const FileFacts& facts);

// Whether the path lies inside the folder (or is it): compared without
// regard to case, '\\' and '/' alike, at a name boundary.
bool insideFolder(const std::wstring& path, const std::wstring& folder);

// Why Outlook would refuse to add the file, checked before it is asked (a
// damaged file can leave Outlook showing a dialog no one at a logon script
// will answer): not a sound PST header, read-only, in use. Empty: none.
std::wstring attachRefusal(const FileFacts& facts);

// The verdict of `check` on one file: ok, warning or problem, with every
// reason found, joined by "; ".
FileRecord checkRecord(const std::wstring& path, const FileFacts& facts);

}  // namespace pelorin::cli
