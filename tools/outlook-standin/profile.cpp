#include "profile.h"

#include <shlobj.h>
#include <windows.h>

#include "base/handles_win.h"
#include "base/text.h"
#include "base/path_win.h"
#include "dispatch.h"
#include "outlook/pst_header.h"
#include "standin_ids.h"

namespace standin {

namespace {

using File = pelorin::UniqueFile;

File openFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return File(::CreateFileW(path.c_str(), access, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

[[noreturn]] void fail(HRESULT code, const std::wstring& text) { throw Refusal{code, text}; }

// A path that is not valid Unicode text (an unpaired surrogate) is refused
// rather than written in a form no other program would read back.
std::string pathToUtf8(const std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            fail(E_INVALIDARG, L"The path " + text + L" is not valid Unicode text.");
        }
    }
    return pelorin::toUtf8(text);
}

}  // namespace

std::wstring defaultProfilePath() {
    wchar_t base[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base)))
        return L"";
    return std::wstring(base) + L"\\" + kProfileFolder + L"\\" + kProfileFile;
}

std::vector<std::wstring> Profile::load() const {
    File f = openFile(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (!f) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return {};
        fail(HRESULT_FROM_WIN32(err), L"The profile " + path_ + L" cannot be read.");
    }
    std::string bytes;
    char buffer[16384];
    for (DWORD got = 0;; bytes.append(buffer, got)) {
        // A read error part way is a refusal: a short list would be saved
        // back over the whole one by the next change.
        if (!::ReadFile(f.get(), buffer, sizeof buffer, &got, nullptr))
            fail(HRESULT_FROM_WIN32(::GetLastError()),
                 L"The profile " + path_ + L" cannot be read.");
        if (got == 0) break;
    }

    std::vector<std::wstring> stores;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) stores.push_back(pelorin::fromUtf8(line));
        start = end + 1;
    }
    return stores;
}

void Profile::save(const std::vector<std::wstring>& stores) const {
    std::string bytes;
    for (const auto& s : stores) bytes += pathToUtf8(s) + "\n";

    const size_t slash = path_.find_last_of(L'\\');
    if (slash != std::wstring::npos) {
        const std::wstring folder = path_.substr(0, slash);
        const int rc = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS && rc != ERROR_FILE_EXISTS)
            fail(HRESULT_FROM_WIN32(rc), L"The profile folder " + folder + L" cannot be created.");
    }
    const std::wstring temp = path_ + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
    {
        File f = openFile(temp, GENERIC_WRITE, 0, CREATE_ALWAYS);
        if (!f)
            fail(HRESULT_FROM_WIN32(::GetLastError()),
                 L"The profile " + temp + L" cannot be written.");
        DWORD written = 0;
        if (!::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) ||
            written != bytes.size() || !::FlushFileBuffers(f.get())) {
            const DWORD err = ::GetLastError();
            f.reset();
            ::DeleteFileW(temp.c_str());
            fail(HRESULT_FROM_WIN32(err), L"The profile " + temp + L" cannot be written.");
        }
    }
    if (!::MoveFileExW(temp.c_str(), path_.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD err = ::GetLastError();
        ::DeleteFileW(temp.c_str());
        fail(HRESULT_FROM_WIN32(err), L"The profile " + path_ + L" cannot be replaced.");
    }
}

void createEmptyPst(const std::wstring& path) {
    const auto bytes = pelorin::outlook::newPstBytes();
    File f = openFile(pelorin::longPath(path), GENERIC_WRITE, 0, CREATE_NEW);
    if (!f)
        fail(HRESULT_FROM_WIN32(::GetLastError()), L"The file " + path + L" cannot be created.");
    DWORD written = 0;
    if (!::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        fail(HRESULT_FROM_WIN32(::GetLastError()), L"The file " + path + L" cannot be written.");
}

std::wstring plainOpenPath(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0) return path;
    const std::wstring full = pelorin::fullPath(path);
    std::wstring out;
    for (size_t start = 0; start <= full.size();) {
        size_t end = full.find(L'\\', start);
        if (end == std::wstring::npos) end = full.size();
        std::wstring name = full.substr(start, end - start);
        if (name != L"." && name != L"..")
            while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.pop_back();
        out += name;
        if (end < full.size()) out += L'\\';
        start = end + 1;
    }
    return out;
}

std::wstring refusalFor(const std::wstring& path) {
    const std::wstring notPst = L"The file " + path + L" is not a personal folders file.";
    const std::wstring denied = L"File access is denied.";
    const std::wstring file = pelorin::longPath(path);

    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ||
            err == ERROR_INVALID_NAME || err == ERROR_BAD_NETPATH || err == ERROR_INVALID_DRIVE)
            return L"The file " + path + L" does not exist.";
        return denied;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return notPst;
    // Outlook opens a store for writing: a read-only file is refused.
    if (attributes & FILE_ATTRIBUTE_READONLY) return denied;

    File f = openFile(file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      OPEN_EXISTING);
    if (!f) return denied;
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(f.get(), &length)) return denied;
    std::uint8_t head[pelorin::outlook::kPstHeaderBytes];
    DWORD got = 0, total = 0;
    while (
        total < sizeof head &&
        ::ReadFile(f.get(), head + total, static_cast<DWORD>(sizeof head - total), &got, nullptr) &&
        got > 0)
        total += got;
    if (!pelorin::outlook::accepted(pelorin::outlook::checkPstHeader(
            head, total, static_cast<std::uint64_t>(length.QuadPart))))
        return notPst;
    return L"";
}

}  // namespace standin
