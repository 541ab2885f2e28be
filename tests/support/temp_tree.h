// TempTree: a fresh folder under the system's temporary folder, filled with
// folders and files by the test, removed with everything in it when the tree
// goes out of scope. Relative paths are written with "/" on every platform;
// names may hold any Unicode characters.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

namespace pelorin::test {

class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The native path of the root, or of a path relative to it, as text
    // (no trailing separator).
    std::wstring path(const std::wstring& relative = L"") const;
    std::filesystem::path fsPath(const std::wstring& relative = L"") const;

    // Creates a folder, with any missing parents.
    void folder(const std::wstring& relative);
    // Creates (or replaces) a file of `size` bytes, with any missing parent
    // folders.
    void file(const std::wstring& relative, std::uintmax_t size = 0);
    // Removes a file or a whole folder.
    void remove(const std::wstring& relative);

    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path root_;
};

}  // namespace pelorin::test
