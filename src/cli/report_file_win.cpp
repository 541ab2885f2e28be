#include "cli/report_file_win.h"

#include <windows.h>

#include <string>

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

// Local time with its offset from UTC, as ISO 8601 writes it.
std::wstring isoNow() {
    SYSTEMTIME utc{}, local{};
    ::GetSystemTime(&utc);
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
    FILETIME u{}, l{};
    ::SystemTimeToFileTime(&utc, &u);
    ::SystemTimeToFileTime(&local, &l);
    const auto ticks = [](const FILETIME& t) {
        return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                      t.dwLowDateTime);
    };
    const long long minutes = (ticks(l) - ticks(u)) / 600000000LL;
    const long long away = minutes < 0 ? -minutes : minutes;
    const auto two = [](long long n) {
        return std::wstring(n < 10 ? L"0" : L"") + std::to_wstring(n);
    };
    return std::to_wstring(local.wYear) + L"-" + two(local.wMonth) + L"-" + two(local.wDay) + L"T" +
           two(local.wHour) + L":" + two(local.wMinute) + L":" + two(local.wSecond) +
           (minutes < 0 ? L"-" : L"+") + two(away / 60) + L":" + two(away % 60);
}

class Win32LogPlace final : public LogPlace {
public:
    // Append access alone: every write goes to the end of the file as it
    // is then, whoever else appends meanwhile.
    // A read-only file is refused by its attribute too: Wine running as root
    // would open it.
    std::unique_ptr<OutputFile> openAppend(const std::wstring& path) override {
        const DWORD attributes = ::GetFileAttributesW(longPath(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return nullptr;
        UniqueFile file(::CreateFileW(longPath(path).c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return nullptr;
        return std::make_unique<Win32OutputFile>(std::move(file));
    }
    std::wstring now() override { return isoNow(); }
    std::wstring user() override {
        wchar_t name[257];
        DWORD size = 257;
        return ::GetUserNameW(name, &size) ? std::wstring(name) : std::wstring(L"?");
    }
    std::wstring computer() override {
        wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
        DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
        return ::GetComputerNameW(name, &size) ? std::wstring(name, size) : std::wstring(L"?");
    }
};

}  // namespace

std::unique_ptr<LogPlace> makeWin32LogPlace() { return std::make_unique<Win32LogPlace>(); }

std::unique_ptr<ReportFiles> makeWin32ReportFiles() { return std::make_unique<Win32ReportFiles>(); }

}  // namespace pelorin::cli
