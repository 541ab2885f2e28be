#include "cli/report_file_win.h"

#include <windows.h>

#include "base/handles_win.h"
#include "base/path_win.h"

namespace pelorin::cli {

namespace {

class Win32OutputFile final : public OutputFile {
public:
    explicit Win32OutputFile(UniqueFile file) : file_(std::move(file)) {}
    bool append(std::string_view bytes) override {
        DWORD written = 0;
        return ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) &&
               written == bytes.size();
    }
    bool close() override {
        const bool flushed = ::FlushFileBuffers(file_.get()) != 0;
        file_.reset();
        return flushed;
    }

private:
    UniqueFile file_;
};

class Win32ReportFiles final : public ReportFiles {
public:
    bool makeFolders(const std::wstring& folder) override {
        const std::wstring full = longPath(folder);
        const DWORD attributes = ::GetFileAttributesW(full.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) return attributes & FILE_ATTRIBUTE_DIRECTORY;
        const std::size_t last = folder.find_last_of(L"\\/");
        if (last == std::wstring::npos || last + 1 == folder.size() ||
            (last > 0 && !makeFolders(folder.substr(0, last))))
            return false;
        return ::CreateDirectoryW(full.c_str(), nullptr) ||
               ::GetLastError() == ERROR_ALREADY_EXISTS;
    }
    std::unique_ptr<OutputFile> create(const std::wstring& path) override {
        UniqueFile file(::CreateFileW(longPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return nullptr;
        return std::make_unique<Win32OutputFile>(std::move(file));
    }
    bool replace(const std::wstring& from, const std::wstring& to) override {
        return ::MoveFileExW(longPath(from).c_str(), longPath(to).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    void remove(const std::wstring& path) override { ::DeleteFileW(longPath(path).c_str()); }
};

}  // namespace

std::unique_ptr<ReportFiles> makeWin32ReportFiles() { return std::make_unique<Win32ReportFiles>(); }

}  // namespace pelorin::cli
