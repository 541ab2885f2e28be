// Helpers shared by the PST list tests: a folder of real files of chosen
// lengths, removed at the end, and a file system over the standard library
// that measures them.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "scan/filesystem.h"
#include "ui/error.h"

namespace pelorin::test {

class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        root_ = std::filesystem::temp_directory_path() /
                ("pelorin-pstlist-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(root_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Creates the file (and its folders) with `length` bytes; gives its path.
    std::wstring file(const std::wstring& relative, std::uintmax_t length) {
        const auto p = root_ / relative;
        std::filesystem::create_directories(p.parent_path());
        { std::ofstream(p, std::ios::binary); }
        std::filesystem::resize_file(p, length);
        return p.wstring();
    }
    std::wstring folder(const std::wstring& relative = L"") {
        const auto p = relative.empty() ? root_ : root_ / relative;
        std::filesystem::create_directories(p);
        return p.wstring();
    }
    std::wstring path() const { return root_.wstring(); }

private:
    std::filesystem::path root_;
};

}  // namespace pelorin::test
