// What is known of one file on disk before Outlook is asked to take it (the
// Win32 reading: file_facts_win.h), and what is drawn from those facts
// alone, portably: its format, and why Outlook would refuse or endanger it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pelorin::pst {

// Why no file is at a path. Only FileNotFound proves the file is gone: the
// others may hide a file that is there (a share that is down, a drive not
// mapped yet at logon, a folder the user may not read).
enum class Absence {
    Unknown,         // not learned
    FileNotFound,    // its folder is there, the file is not
    FolderNotFound,  // the folder is not there either (or the drive)
    Unreachable,     // the network path cannot be reached
    Denied,          // access denied
    Folder,          // a folder, not a file
};

struct FileFacts {
    bool exists = false;  // a file (not a folder) at the path
    std::int64_t size = 0;
    std::vector<std::uint8_t> head;  // the first bytes, up to the PST header's length
    bool headRead = false;           // false: the file could not be read at all
    bool readOnly = false;
    bool inUse = false;                  // another process holds it open
    bool network = false;                // a UNC path or a remote drive
    bool oneDrive = false;               // inside a folder OneDrive keeps in sync
    Absence absence = Absence::Unknown;  // why not, when not exists
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

// Why a path holds no file, in a few words ("file not found", ...).
std::wstring absenceText(Absence absence);

// What the first bytes say is wrong with the file as a PST ("damaged: ...",
// "an OST ..."). Empty: a sound header, or none read.
std::wstring headerProblem(const FileFacts& facts);

// Whether the path lies inside the folder (or is it): compared without
// regard to case, '\\' and '/' alike, at a name boundary.
bool insideFolder(const std::wstring& path, const std::wstring& folder);

// Why Outlook would refuse to add the file, checked before it is asked (a
// damaged file can leave Outlook showing a dialog no one at a logon script
// will answer): not a sound PST header, an ANSI PST at or over its size
// limit (it cannot grow and Outlook may damage it), read-only, in use.
// Empty: none.
std::wstring attachRefusal(const FileFacts& facts);

// Everything found against an existing file, each list joined by "; ":
// the problems (Outlook refuses or endangers it) and the warnings (attach
// goes ahead: a network path, a OneDrive-synced folder, a size near the
// limit).
struct FileVerdict {
    std::wstring problems;
    std::wstring warnings;
};
FileVerdict judgeFile(const FileFacts& facts);

}  // namespace pelorin::pst
