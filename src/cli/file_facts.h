// The service through which pelorin-cli learns of one file on disk (its
// facts, pst/file_facts.h), reads and writes whole files and compares paths
// (Win32: file_probe_win.cpp; tests script it). The verdict of `check` is
// drawn from the facts alone, portably.
#pragma once
#include <optional>
#include <string>

#include "cli/records.h"
#include "pst/file_facts.h"

namespace pelorin::cli {

using pst::FileFacts;

class FileProbe {
public:
    virtual ~FileProbe() = default;
    virtual FileFacts facts(const std::wstring& path) = 0;
    // The whole file, or nothing when it cannot be read.
    virtual std::optional<std::string> readAll(const std::wstring& path) = 0;
    // Whether two paths name the same file, as the file system compares them.
    virtual bool samePath(const std::wstring& a, const std::wstring& b) = 0;
    // What every spelling of one file has in common: two paths are the same
    // file when their keys are equal. For looking paths up by their hash.
    virtual std::wstring fileKey(const std::wstring& path) = 0;
    // The absolute form of a path: Outlook would resolve a relative one
    // against its own current folder.
    virtual std::wstring fullPath(const std::wstring& path) = 0;
};

// The verdict of `check` on one file: ok, warning or problem, with every
// reason found, joined by "; ".
FileRecord checkRecord(const std::wstring& path, const FileFacts& facts);

}  // namespace pelorin::cli
