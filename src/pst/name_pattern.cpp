#include "pst/name_pattern.h"

#include <algorithm>

#include "base/error.h"

namespace pelorin::pst {

namespace {

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool isWildcard(wchar_t c) { return c == L'*' || c == L'?'; }

// Where the last part begins.
std::size_t lastPartAt(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? 0 : slash + 1;
}

// Where the folders' names begin: past a \\?\ prefix, whose `?` is no wildcard.
std::size_t foldersAt(const std::wstring& path) {
    return path.size() >= 4 && isSeparator(path[0]) && isSeparator(path[1]) && path[2] == L'?' &&
                   isSeparator(path[3])
               ? 4
               : 0;
}

}  // namespace

bool isPattern(const std::wstring& path) {
    const std::size_t start = std::max(lastPartAt(path), foldersAt(path));
    return path.find_first_of(L"*?", start) != std::wstring::npos;
}

std::wstring patternProblem(const std::wstring& path) {
    const std::size_t last = lastPartAt(path);
    for (std::size_t i = foldersAt(path); i < last; ++i)
        if (isWildcard(path[i]))
            return path +
                   L" has a wildcard (* or ?) in a folder's name; only the file name may "
                   L"have one";
    return {};
}

bool nameMatches(std::wstring_view pattern, std::wstring_view name) {
    const std::wstring p = caseFolded(std::wstring(pattern));
    const std::wstring n = caseFolded(std::wstring(name));
    // The last `*` seen, and where in the name its run would end next.
    std::size_t pi = 0, ni = 0, star = std::wstring::npos, resume = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == L'*') {
            star = pi++;
            resume = ni;
        } else if (pi < p.size() && (p[pi] == L'?' || p[pi] == n[ni])) {
            ++pi, ++ni;
        } else if (star != std::wstring::npos) {
            pi = star + 1;
            ni = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == L'*') ++pi;
    return pi == p.size();
}

PatternFiles filesMatching(const std::wstring& pattern, scan::FileSystem& files) {
    const std::size_t last = lastPartAt(pattern);
    PatternFiles found;
    found.folder = pattern.substr(0, last);
    const std::wstring name = pattern.substr(last);
    try {
        for (const std::wstring& file : files.openFolder(found.folder)->files())
            if (nameMatches(name, file)) found.paths.push_back(found.folder + file);
    } catch (const Error&) {
        found.readable = false;
    }
    return found;
}

}  // namespace pelorin::pst
