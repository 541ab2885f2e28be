#include "support/cli_fakes.h"

#include <algorithm>

#include "base/error.h"
#include "scan/filesystem.h"
#include "base/event_pump.h"
#include "support/pst_files.h"

namespace pelorin::test {

namespace {

std::wstring folded(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) {
        return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    });
    return text;
}

}  // namespace

cli::FileFacts ScriptedFiles::facts(const std::wstring& path) {
    for (const auto& [name, facts] : files)
        if (samePath(name, path)) return facts;
    return {};
}

std::optional<std::string> ScriptedFiles::readAll(const std::wstring& path) {
    const auto it = contents.find(path);
    if (it == contents.end()) return std::nullopt;
    return it->second;
}

bool ScriptedFiles::writeAll(const std::wstring& path, const std::string& bytes) {
    written[path] = bytes;
    return true;
}

bool ScriptedFiles::samePath(const std::wstring& a, const std::wstring& b) {
    return folded(fullPath(a)) == folded(fullPath(b));
}

std::wstring ScriptedFiles::fullPath(const std::wstring& path) {
    const bool full = path.size() > 1 && (path[1] == L':' || path[0] == L'\\' || path[0] == L'/');
    return full ? path : L"C:\\work\\" + path;
}

void ScriptedFiles::pst(const std::vector<std::wstring>& paths) {
    const std::vector<std::uint8_t> bytes = pstBytes();
    for (const std::wstring& path : paths) {
        cli::FileFacts& f = files[path];
        f.exists = f.headRead = true;
        f.size = static_cast<std::int64_t>(bytes.size());
        f.head.assign(bytes.begin(), bytes.begin() + 564);
    }
}

std::vector<cli::Store> ScriptedProfile::stores() { return current; }

bool ScriptedProfile::contains(const std::wstring& path) {
    return std::any_of(current.begin(), current.end(),
                       [&](const cli::Store& s) { return files.samePath(s.filePath, path); });
}

bool ScriptedProfile::attach(const std::wstring& path) {
    if (!files.facts(path).exists)
        throw Error(kErrFileNotFound, L"The file does not exist",
                    static_cast<std::int32_t>(0x80070002));
    if (contains(path)) return false;
    calls.push_back(L"add " + path);
    if (const auto it = failing.find(path); it != failing.end())
        throw Error(kErrAutomation, L"AddStore: The file is not a personal folders file.",
                    it->second);
    current.push_back(cli::Store{L"Added", path, true, false});
    return true;
}

void ScriptedProfile::remove(const cli::Store& store) {
    calls.push_back(L"remove " + store.filePath);
    std::erase_if(current, [&](const cli::Store& s) { return s.filePath == store.filePath; });
}

int CliRun::run(const std::vector<std::wstring>& args) {
    NoEvents events;
    cli::Services services{console,
                           files,
                           [] { return scan::makePlatformFileSystem(); },
                           events,
                           [this](const cli::Options& o) -> std::unique_ptr<cli::OutlookProfile> {
                               timeoutSeconds = o.timeoutSeconds;
                               if (unavailable) throw cli::OutlookUnavailable{*unavailable};
                               // The run owns what it is given; this one hands over a view.
                               struct View final : cli::OutlookProfile {
                                   explicit View(ScriptedProfile& p) : p(p) {}
                                   std::vector<cli::Store> stores() override { return p.stores(); }
                                   bool contains(const std::wstring& path) override {
                                       return p.contains(path);
                                   }
                                   bool attach(const std::wstring& path) override {
                                       return p.attach(path);
                                   }
                                   void remove(const cli::Store& s) override { p.remove(s); }
                                   ScriptedProfile& p;
                               };
                               return std::make_unique<View>(profile);
                           },
                           [this](const std::wstring& name) -> std::optional<std::wstring> {
                               const auto it = variables.find(name);
                               if (it == variables.end()) return std::nullopt;
                               return it->second;
                           }};
    return cli::runCli(args, services);
}

std::vector<std::wstring> CliRun::results() const {
    std::vector<std::wstring> out;
    for (const std::wstring& line : console.outLines) {
        const auto second = line.find(L'\t', line.find(L'\t') + 1);
        out.push_back(line.substr(0, second));
    }
    return out;
}

}  // namespace pelorin::test
