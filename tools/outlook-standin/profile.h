// The stand-in's profile: the stores it holds, in a plain file below the
// user's local application data, and in memory in each server. The file is a
// journal in UTF-8, one line per change: a path added, or "|" and a path
// removed ('|' starts no path). A change appends its line and flushes it, so
// a server killed in the middle of a run loses nothing already added, and a
// change costs the same however many stores the profile holds. A server
// compacts the file to the plain list of paths when it first reads it, and
// afterwards reads only what other servers appended since it last looked.
// Only servers change the file while any runs (tests and scripts rewrite it
// only while none does).
// Changes hold the profile lock, shared by every stand-in process: when
// another holds it past profile-lock-ms, the change is refused with MAPI's
// time-out and the profile is left alone.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace standin {

std::wstring defaultProfilePath();

// The stores in profile order, as they were when asked for.
using Paths = std::shared_ptr<const std::vector<std::wstring>>;

class Profile {
public:
    // The server's one profile, at defaultProfilePath().
    static Profile& instance();
    explicit Profile(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& path() const { return path_; }
    // Raises Refusal when the file cannot be read.
    Paths stores();
    // Whether the profile holds the file, under any spelling of its path.
    bool contains(const std::wstring& path);
    // Appends the file; false when the profile already holds it.
    bool add(const std::wstring& path);
    // Removes every store of the file; false when it holds none.
    bool remove(const std::wstring& path);

private:
    void refresh();
    void readFrom(HANDLE file, ULONGLONG size);
    void apply(const std::string& line);
    void append(const std::string& line);
    void compact();
    std::vector<std::wstring>& own();

    std::wstring path_;
    std::shared_ptr<std::vector<std::wstring>> paths_ =
        std::make_shared<std::vector<std::wstring>>();
    std::vector<std::wstring> keys_;  // each store's key, beside paths_
    std::unordered_map<std::wstring, int> counts_;
    // What was read: the file's identity, the bytes up to the last whole
    // line, and how many lines they held.
    bool read_ = false, compacted_ = false;
    DWORD volume_ = 0, indexHigh_ = 0, indexLow_ = 0;
    ULONGLONG consumed_ = 0;
    size_t lines_ = 0;
};

// The file a plain Win32 open of `path` reaches: made full, each name's
// trailing dots and spaces dropped. A \\?\ path is taken as it is.
std::wstring plainOpenPath(const std::wstring& path);

// Empty when the file can be added as a store; otherwise the reason, in the
// words the caller will see.
std::wstring refusalFor(const std::wstring& path);

// Whether the file, open and read from its start, holds a PST header Outlook
// accepts for a file of `length` bytes.
bool pstHeaderAccepted(HANDLE file, std::uint64_t length);

// Writes a new, empty PST where no file is, as Outlook's AddStore does.
// Raises Refusal when it cannot.
void createEmptyPst(const std::wstring& path);

}  // namespace standin
