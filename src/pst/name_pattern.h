// File names given with wildcards: "D:\Archive\*.pst" names the files of
// D:\Archive whose names match "*.pst", not those of its subfolders. Only
// the last part of a path may hold `*` (any run of characters) or `?` (one
// character); the `?` of a \\?\ prefix is part of the prefix. Names are
// matched as the file system spells them in full, never by their 8.3 forms
// (which is how FindFirstFile itself would let "*.pst" find "a.pstx").
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "scan/filesystem.h"

namespace pelorin::pst {

// Whether the last part of the path holds a wildcard.
bool isPattern(const std::wstring& path);

// Why the path cannot be taken: a wildcard in one of its folders' names.
// Empty: none (with or without one in the last part).
std::wstring patternProblem(const std::wstring& path);

// Whether the name matches the pattern, ignoring case as Windows does.
bool nameMatches(std::wstring_view pattern, std::wstring_view name);

// The text with case folded as the file system compares names: upper case
// on Windows (invariant), lower case elsewhere.
std::wstring caseFolded(const std::wstring& text);

// The full paths of the files beside the pattern whose names match it, in
// the listing's order; `readable` is false when its folder cannot be listed.
struct PatternFiles {
    std::vector<std::wstring> paths;
    bool readable = true;
    std::wstring folder;
};
PatternFiles filesMatching(const std::wstring& pattern, scan::FileSystem& files);

}  // namespace pelorin::pst
