// Temporary folder trees for the tests that need a real file system.
#include "support/temp_tree.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "base/text.h"
#include "scan/filesystem.h"

namespace pelorin::test {
namespace fs = std::filesystem;

namespace {

std::wstring uniqueName() {
    static std::atomic<unsigned> serial{0};
    std::random_device random;
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return L"pelorin-test-" + std::to_wstring(random() ^ static_cast<unsigned>(ticks)) + L"-" +
           std::to_wstring(++serial);
}

// Names as the platform spells them. Windows paths are UTF-16 already; on
// POSIX, names are UTF-8 bytes whatever the process's locale (the library's
// own conversion follows the locale, which is "C" in a test run).
#ifdef _WIN32
fs::path native(const std::wstring& text) { return fs::path(text); }
std::wstring text(const fs::path& path) { return path.wstring(); }
#else
fs::path native(const std::wstring& text) { return fs::path(toUtf8(text)); }
std::wstring text(const fs::path& path) { return fromUtf8(path.native()); }
#endif

}  // namespace

TempTree::TempTree() {
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / uniqueName();
        if (fs::create_directory(candidate)) {
            // The canonical form, so paths the tests expect match the ones a
            // scan of the tree builds (no symbolic links, no 8.3 names).
            root_ = fs::canonical(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempTree::~TempTree() {
    std::error_code ignored;
    // Folders a test made unreadable must become readable again to go.
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(root_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (ignored) break;
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(root_, ignored);
}

fs::path TempTree::fsPath(const std::wstring& relative) const {
    fs::path result = root_;
    std::size_t start = 0;
    while (start <= relative.size()) {
        const std::size_t slash = relative.find(L'/', start);
        const std::wstring part = relative.substr(
            start, slash == std::wstring::npos ? std::wstring::npos : slash - start);
        if (!part.empty()) result /= native(part);
        if (slash == std::wstring::npos) break;
        start = slash + 1;
    }
    return result;
}

std::wstring TempTree::path(const std::wstring& relative) const { return text(fsPath(relative)); }

void TempTree::folder(const std::wstring& relative) { fs::create_directories(fsPath(relative)); }

void TempTree::file(const std::wstring& relative, std::uintmax_t size) {
    const fs::path target = fsPath(relative);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create a test file");
    const std::vector<char> block(64 * 1024, 'x');
    while (size > 0) {
        const auto chunk =
            static_cast<std::streamsize>(std::min<std::uintmax_t>(size, block.size()));
        out.write(block.data(), chunk);
        size -= static_cast<std::uintmax_t>(chunk);
    }
    if (!out.flush()) throw std::runtime_error("cannot write a test file");
}

void TempTree::remove(const std::wstring& relative) { fs::remove_all(fsPath(relative)); }

}  // namespace pelorin::test
