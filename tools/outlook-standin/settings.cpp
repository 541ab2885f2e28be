#include "settings.h"

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/text.h"
#include "dispatch.h"
#include "profile.h"

namespace standin {

namespace {

ULONGLONG busyUntil = 0;

std::string readAll(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::wstring besideProfile(const std::wstring& name) {
    const std::wstring profile = defaultProfilePath();
    return profile.substr(0, profile.find_last_of(L'\\') + 1) + name;
}

void startBusyClock() {
    const std::string text = readAll(besideProfile(L"busy-start-ms"));
    const unsigned long ms = std::strtoul(text.c_str(), nullptr, 10);
    busyUntil = ms ? ::GetTickCount64() + ms : 0;
}

bool busyNow() { return busyUntil != 0 && ::GetTickCount64() < busyUntil; }

namespace {

// The lines of a setting file, without their line ends; none when it is absent.
std::vector<std::wstring> linesOf(const wchar_t* name) {
    const std::wstring text = pelorin::fromUtf8(readAll(besideProfile(name)));
    std::vector<std::wstring> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

DWORD millisecondsIn(const wchar_t* name, DWORD otherwise) {
    const std::string text = readAll(besideProfile(name));
    if (text.empty()) return otherwise;
    return static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 10));
}

}  // namespace

DWORD blockAddStoreMs() { return millisecondsIn(L"block-addstore-ms", 0); }
DWORD profileLockMs() { return millisecondsIn(L"profile-lock-ms", 30000); }

void applyInjectedFailure(const std::wstring& path) {
    for (const std::wstring& line : linesOf(L"fail-addstore")) {
        const size_t tab1 = line.find(L'\t');
        const size_t tab2 = tab1 == std::wstring::npos ? tab1 : line.find(L'\t', tab1 + 1);
        if (tab2 == std::wstring::npos || tab1 == 0) continue;
        if (path.find(line.substr(0, tab1)) == std::wstring::npos) continue;
        const auto code = static_cast<HRESULT>(std::wcstoul(line.c_str() + tab1 + 1, nullptr, 16));
        throw Refusal{code, line.substr(tab2 + 1)};
    }
}

bool addStoreIgnored(const std::wstring& path) {
    for (const std::wstring& line : linesOf(L"ignore-addstore"))
        if (!line.empty() && path.find(line) != std::wstring::npos) return true;
    return false;
}

bool profileMissing() {
    return ::GetFileAttributesW(besideProfile(L"no-profile").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<ProfileEntry> profileEntries() {
    std::vector<ProfileEntry> entries;
    for (const std::wstring& line : linesOf(L"profiles")) {
        const size_t tab = line.find(L'\t');
        if (line.empty() || tab == 0) continue;
        entries.push_back(
            {line.substr(0, tab), tab != std::wstring::npos && line.substr(tab + 1) == L"running"});
    }
    return entries;
}

void logCall(const std::wstring& line) {
    std::ofstream out(std::filesystem::path(besideProfile(L"calls.log")),
                      std::ios::binary | std::ios::app);
    out << pelorin::toUtf8(line) << "\n";
}

void writeCallCounts() {
    const std::wstring file = besideProfile(L"count-calls");
    if (::GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    std::ofstream out(std::filesystem::path(file), std::ios::binary | std::ios::app);
    out << "GetIDsOfNames " << callCounts().names << " Invoke " << callCounts().invokes << " Next "
        << callCounts().nexts << "\n";
}

}  // namespace standin
