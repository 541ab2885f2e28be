#include "profile.h"

#include <shlobj.h>
#include <windows.h>

#include "base/handles_win.h"
#include "base/text.h"
#include "base/path_win.h"
#include "dispatch.h"
#include "outlook/pst_header.h"
#include "settings.h"
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

namespace {

// MAPI_E_TIMEOUT: what MAPI answers when a wait for a lock runs out.
constexpr HRESULT kMapiTimeout = static_cast<HRESULT>(0x80040401);

// Two stand-in processes may share one profile: each change of it holds
// this lock, so neither loses the other's change.
class ProfileLock {
public:
    explicit ProfileLock(DWORD waitMs)
        : mutex_(::CreateMutexW(nullptr, FALSE, L"Local\\Pelorin.StandinProfile")) {
        const DWORD wait = mutex_ ? ::WaitForSingleObject(mutex_.get(), waitMs) : WAIT_FAILED;
        held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~ProfileLock() {
        if (held_) ::ReleaseMutex(mutex_.get());
    }
    ProfileLock(const ProfileLock&) = delete;
    ProfileLock& operator=(const ProfileLock&) = delete;
    bool held() const { return held_; }
    void require() const {
        if (!held_)
            fail(kMapiTimeout, L"The profile is in use by another program. Try again later.");
    }

private:
    pelorin::UniqueKernelHandle mutex_;
    bool held_ = false;
};

// What two spellings of one store have in common: the full path, upper-cased.
std::wstring keyOf(const std::wstring& path) {
    const std::wstring full = pelorin::fullPath(path);
    std::wstring upper(full.size(), L'\0');
    const int n = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, full.data(),
                                  static_cast<int>(full.size()), upper.data(),
                                  static_cast<int>(upper.size()), nullptr, nullptr, 0);
    return n == static_cast<int>(full.size()) ? upper : full;
}

void createFolderOf(const std::wstring& file) {
    const size_t slash = file.find_last_of(L'\\');
    if (slash == std::wstring::npos) return;
    const std::wstring folder = file.substr(0, slash);
    const int rc = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS && rc != ERROR_FILE_EXISTS)
        fail(HRESULT_FROM_WIN32(rc), L"The profile folder " + folder + L" cannot be created.");
}

void writeAll(HANDLE file, const std::string& bytes, const std::wstring& name) {
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !::FlushFileBuffers(file))
        fail(HRESULT_FROM_WIN32(::GetLastError()), L"The profile " + name + L" cannot be written.");
}

}  // namespace

Profile& Profile::instance() {
    static Profile profile(defaultProfilePath());
    return profile;
}

Paths Profile::stores() {
    refresh();
    if (!compacted_) compact();
    return paths_;
}

bool Profile::contains(const std::wstring& path) {
    ProfileLock lock(profileLockMs());
    lock.require();
    refresh();
    return counts_.count(keyOf(path)) != 0;
}

bool Profile::add(const std::wstring& path) {
    ProfileLock lock(profileLockMs());
    lock.require();
    refresh();
    if (counts_.count(keyOf(path))) return false;
    append(pathToUtf8(path) + "\n");
    return true;
}

bool Profile::remove(const std::wstring& path) {
    ProfileLock lock(profileLockMs());
    lock.require();
    refresh();
    if (!counts_.count(keyOf(path))) return false;
    std::string line(1, '|');
    line += pathToUtf8(path);
    append(line + "\n");
    return true;
}

// Reads what changed since the last look: nothing, the lines appended, or
// (another file, or a shorter one) the whole file again.
void Profile::refresh() {
    File f = openFile(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      OPEN_EXISTING);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!f) {
        const DWORD err = ::GetLastError();
        if (err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND)
            fail(HRESULT_FROM_WIN32(err), L"The profile " + path_ + L" cannot be read.");
    } else if (!::GetFileInformationByHandle(f.get(), &info)) {
        fail(HRESULT_FROM_WIN32(::GetLastError()), L"The profile " + path_ + L" cannot be read.");
    }
    const ULONGLONG size = (ULONGLONG{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    const bool same = read_ && info.dwVolumeSerialNumber == volume_ &&
                      info.nFileIndexHigh == indexHigh_ && info.nFileIndexLow == indexLow_ &&
                      size >= consumed_;
    if (!same) {
        own().clear();
        keys_.clear();
        counts_.clear();
        read_ = true;
        volume_ = info.dwVolumeSerialNumber;
        indexHigh_ = info.nFileIndexHigh;
        indexLow_ = info.nFileIndexLow;
        consumed_ = 0;
        lines_ = 0;
    }
    if (f && size > consumed_) readFrom(f.get(), size);
}

// The whole lines between what was read and `size`; a line still being
// written is read when it is whole.
void Profile::readFrom(HANDLE file, ULONGLONG size) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(consumed_);
    std::string bytes(static_cast<size_t>(size - consumed_), '\0');
    DWORD got = 0;
    size_t total = 0;
    // A read error part way is a refusal: a short list would be taken for the profile.
    if (!::SetFilePointerEx(file, at, nullptr, FILE_BEGIN))
        fail(HRESULT_FROM_WIN32(::GetLastError()), L"The profile " + path_ + L" cannot be read.");
    while (total < bytes.size()) {
        if (!::ReadFile(file, bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &got,
                        nullptr))
            fail(HRESULT_FROM_WIN32(::GetLastError()),
                 L"The profile " + path_ + L" cannot be read.");
        if (got == 0) break;
        total += got;
    }
    const size_t whole = bytes.rfind('\n', total == 0 ? 0 : total - 1);
    if (whole == std::string::npos || total == 0) return;
    for (size_t start = 0; start <= whole;) {
        const size_t end = bytes.find('\n', start);
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) apply(line);
        start = end + 1;
    }
    consumed_ += whole + 1;
}

void Profile::apply(const std::string& line) {
    ++lines_;
    const bool removal = line.front() == '|';
    std::wstring path = pelorin::fromUtf8(removal ? line.substr(1) : line);
    std::wstring key = keyOf(path);
    if (!removal) {
        own().push_back(std::move(path));
        keys_.push_back(key);
        ++counts_[std::move(key)];
        return;
    }
    if (counts_.erase(key) == 0) return;
    std::vector<std::wstring>& paths = own();
    size_t kept = 0;
    for (size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == key) continue;
        if (kept != i) {
            paths[kept] = std::move(paths[i]);
            keys_[kept] = std::move(keys_[i]);
        }
        ++kept;
    }
    paths.resize(kept);
    keys_.resize(kept);
}

// Under the lock, after a refresh: a line cut short by a server killed while
// it wrote is dropped (it was never a change), then the line goes after the
// last whole one and is read back like another server's.
void Profile::append(const std::string& line) {
    createFolderOf(path_);
    File f = openFile(path_, GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_ALWAYS);
    if (!f)
        fail(HRESULT_FROM_WIN32(::GetLastError()),
             L"The profile " + path_ + L" cannot be written.");
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(consumed_);
    if (!::SetFilePointerEx(f.get(), end, nullptr, FILE_BEGIN) || !::SetEndOfFile(f.get()))
        fail(HRESULT_FROM_WIN32(::GetLastError()),
             L"The profile " + path_ + L" cannot be written.");
    try {
        writeAll(f.get(), line, path_);
    } catch (const Refusal&) {
        ::SetFilePointerEx(f.get(), end, nullptr, FILE_BEGIN);
        ::SetEndOfFile(f.get());
        throw;
    }
    f.reset();
    refresh();
}

// The plain list of paths, written through a temporary file and a rename
// when the journal holds more lines than stores; not while another server
// is changing the profile (the next server to start tries again).
void Profile::compact() {
    compacted_ = true;
    if (lines_ == paths_->size()) return;
    ProfileLock lock(0);
    if (!lock.held()) return;
    refresh();
    std::string bytes;
    for (const auto& s : *paths_) bytes += pathToUtf8(s) + "\n";
    const std::wstring temp = path_ + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
    {
        File f = openFile(temp, GENERIC_WRITE, 0, CREATE_ALWAYS);
        if (!f) return;
        try {
            writeAll(f.get(), bytes, temp);
        } catch (const Refusal&) {
            f.reset();
            ::DeleteFileW(temp.c_str());
            return;
        }
    }
    if (!::MoveFileExW(temp.c_str(), path_.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ::DeleteFileW(temp.c_str());
    refresh();
}

// The list handed out to Stores objects stays as it was: a change copies it first.
std::vector<std::wstring>& Profile::own() {
    if (paths_.use_count() > 1) paths_ = std::make_shared<std::vector<std::wstring>>(*paths_);
    return *paths_;
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
    if (!pstHeaderAccepted(f.get(), static_cast<std::uint64_t>(length.QuadPart))) return notPst;
    return L"";
}

bool pstHeaderAccepted(HANDLE file, std::uint64_t length) {
    std::uint8_t head[pelorin::outlook::kPstHeaderBytes];
    DWORD got = 0, total = 0;
    while (total < sizeof head &&
           ::ReadFile(file, head + total, static_cast<DWORD>(sizeof head - total), &got, nullptr) &&
           got > 0)
        total += got;
    return pelorin::outlook::accepted(pelorin::outlook::checkPstHeader(head, total, length));
}

}  // namespace standin
