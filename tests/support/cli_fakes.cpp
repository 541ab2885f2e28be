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

// The platform's file system, except that one folder cannot be listed.
class RefusingFileSystem final : public scan::FileSystem {
public:
    explicit RefusingFileSystem(std::wstring refused)
        : real_(scan::makePlatformFileSystem()), refused_(std::move(refused)) {}
    wchar_t separator() const override { return real_->separator(); }
    bool folderExists(const std::wstring& path) override { return real_->folderExists(path); }
    std::unique_ptr<scan::Folder> openFolder(const std::wstring& path) override {
        if (isRefused(path)) throw Error(kErrPermission, L"Permission denied");
        return real_->openFolder(path);
    }
    void listAhead(const std::wstring& path) override {
        if (!isRefused(path)) real_->listAhead(path);
    }
    std::int64_t fileLength(const std::wstring& path) override { return real_->fileLength(path); }

private:
    bool isRefused(std::wstring path) const {
        while (path.size() > 1 && path.back() == separator()) path.pop_back();
        return !refused_.empty() && path == refused_;
    }
    std::unique_ptr<scan::FileSystem> real_;
    std::wstring refused_;
};

// Latin-1 as "ANSI" (0x81 has no character there), and an "OEM" page
// where 0x82 is U+00E9 as in code page 850.
std::optional<std::wstring> scriptedCodePage(std::string_view bytes, cli::ListEncoding encoding) {
    std::wstring text;
    for (const char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        if (encoding == cli::ListEncoding::Ansi && c == 0x81) return std::nullopt;
        text += encoding == cli::ListEncoding::Oem && c == 0x82 ? L'\xE9' : static_cast<wchar_t>(c);
    }
    return text;
}

}  // namespace

bool ScriptedReports::makeFolders(const std::wstring& folder) {
    folders.push_back(folder);
    return !failFolders;
}

std::unique_ptr<cli::OutputFile> ScriptedReports::create(const std::wstring& path) {
    struct File final : cli::OutputFile {
        File(ScriptedReports& r, std::string& bytes) : r(r), bytes(bytes) {}
        bool append(std::string_view more) override {
            if (r.failWrite && !bytes.empty()) return false;
            bytes += more;
            return true;
        }
        bool close() override { return true; }
        ScriptedReports& r;
        std::string& bytes;
    };
    if (failCreate) return nullptr;
    files[path].clear();
    return std::make_unique<File>(*this, files[path]);
}

std::unique_ptr<cli::OutputFile> ScriptedLogs::openAppend(const std::wstring& path) {
    struct File final : cli::OutputFile {
        explicit File(std::string& bytes) : bytes(bytes) {}
        bool append(std::string_view more) override {
            bytes += more;
            return true;
        }
        bool close() override { return true; }
        std::string& bytes;
    };
    if (std::find(refused.begin(), refused.end(), path) != refused.end()) return nullptr;
    return std::make_unique<File>(files[path]);
}

bool ScriptedReports::replace(const std::wstring& from, const std::wstring& to) {
    if (failReplace || !files.contains(from)) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
}

cli::FileFacts ScriptedFiles::facts(const std::wstring& path) {
    if (looked) looked(path);
    for (const auto& [name, facts] : files)
        if (samePath(name, path)) return facts;
    cli::FileFacts none;
    none.absence = pst::Absence::FileNotFound;
    return none;
}

std::optional<std::string> ScriptedFiles::readAll(const std::wstring& path) {
    const auto it = contents.find(path);
    if (it == contents.end()) return std::nullopt;
    return it->second;
}

bool ScriptedFiles::samePath(const std::wstring& a, const std::wstring& b) {
    return fileKey(a) == fileKey(b);
}

std::wstring ScriptedFiles::fileKey(const std::wstring& path) { return folded(fullPath(path)); }

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
                           [this]() -> std::unique_ptr<scan::FileSystem> {
                               return std::make_unique<RefusingFileSystem>(unreadableFolder);
                           },
                           events,
                           [this](const cli::Options& o) -> std::unique_ptr<cli::OutlookProfile> {
                               timeoutSeconds = o.timeoutSeconds;
                               if (connecting) connecting();
                               if (unavailable) throw cli::OutlookUnavailable{*unavailable};
                               // The run owns what it is given; this one hands over a view.
                               struct View final : cli::OutlookProfile {
                                   explicit View(ScriptedProfile& p) : p(p) {}
                                   std::vector<cli::Store> stores() override { return p.stores(); }
                                   bool defaultKnown() override { return p.defaultKnown(); }
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
                           },
                           reports,
                           scriptedCodePage,
                           logs};
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
