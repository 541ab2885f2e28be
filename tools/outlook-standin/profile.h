// The stand-in's profile: the stores it holds, one path per line in UTF-8,
// in a plain file below the user's local application data. Every change
// rewrites the whole file through a temporary file and a rename, so a server
// killed in the middle of a run loses nothing already added.
#pragma once
#include <string>
#include <vector>

namespace standin {

std::wstring defaultProfilePath();

class Profile {
public:
    explicit Profile(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& path() const { return path_; }
    // A missing file is an empty profile. Raises Refusal when unreadable.
    std::vector<std::wstring> load() const;
    void save(const std::vector<std::wstring>& stores) const;

private:
    std::wstring path_;
};

// The file a plain Win32 open of `path` reaches: made full, each name's
// trailing dots and spaces dropped. A \\?\ path is taken as it is.
std::wstring plainOpenPath(const std::wstring& path);

// Empty when the file can be added as a store; otherwise the reason, in the
// words the caller will see.
std::wstring refusalFor(const std::wstring& path);

// Writes a new, empty PST where no file is, as Outlook's AddStore does.
// Raises Refusal when it cannot.
void createEmptyPst(const std::wstring& path);

}  // namespace standin
