// pelorin-cli's run: the command line, the list file, the report's target,
// the paths made into files (folders searched as Add Folder searches them),
// the command, the report and the exit code.
#include "cli/program.h"

#include <atomic>
#include <exception>
#include <future>
#include <set>
#include <unordered_map>
#include <variant>

#include "base/error.h"
#include "cli/commands.h"
#include "pst/attach_step.h"
#include "pst/name_pattern.h"
#include "pst/pst_scan.h"

namespace pelorin::cli {

namespace {

struct Files {
    std::vector<std::wstring> files;
    std::vector<std::wstring> unreadableFolders;
    std::vector<std::wstring> unmatchedPatterns;
};

// Each path made absolute; a folder becomes the PST files of its tree, in the
// scanner's order; a pattern the matching files of its folder; anything else
// is taken as a file. Each file once, under the first of its spellings.
Files expandPaths(const std::vector<std::wstring>& paths, Services& services) {
    Files out;
    std::set<std::wstring> seen;
    const auto take = [&](const std::wstring& file) {
        if (seen.insert(pst::fileKey(file)).second) out.files.push_back(file);
    };
    const std::unique_ptr<scan::FileSystem> fs = services.fileSystems();
    for (const std::wstring& given : paths) {
        std::wstring path = services.files.fullPath(given);
        if (pst::isPattern(path)) {
            const pst::PatternFiles found = pst::filesMatching(path, *fs);
            if (!found.readable)
                out.unreadableFolders.push_back(found.folder);
            else if (found.paths.empty())
                out.unmatchedPatterns.push_back(path);
            for (const std::wstring& file : found.paths) take(file);
            continue;
        }
        if (!fs->folderExists(path)) {
            take(path);
            continue;
        }
        if (path.back() != fs->separator()) path += fs->separator();
        const pst::PstScan found = pst::scanForPsts(path, services.fileSystems, services.events);
        for (std::int32_t i = 1; i <= found.paths->count(); ++i) take(found.paths->text(i));
        out.unreadableFolders.insert(out.unreadableFolders.end(), found.skippedFolders.begin(),
                                     found.skippedFolders.end());
    }
    return out;
}

bool isSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

// "C:" or "\\server\share" of a full path (in the \\?\ form when it has it);
// empty for any other form.
std::wstring rootOf(const std::wstring& full) {
    if (full.size() >= 2 && full[1] == L':') return full.substr(0, 2);
    const bool unc = full.starts_with(L"\\\\?\\UNC\\");
    if (!unc && full.starts_with(L"\\\\?\\"))
        return full.size() >= 6 && full[5] == L':' ? full.substr(0, 6) : std::wstring();
    if (full.size() < 3 || !isSlash(full[0]) || !isSlash(full[1])) return {};
    const std::size_t server = full.find_first_of(L"\\/", unc ? 8 : 2);
    const std::size_t share =
        server == std::wstring::npos ? server : full.find_first_of(L"\\/", server + 1);
    return full.substr(0, share);
}

// Whether a full path is a drive's root or a share's, however written.
bool isRoot(std::wstring full) {
    if (full.starts_with(L"\\\\?\\UNC\\"))
        full = L"\\\\" + full.substr(8);
    else if (full.starts_with(L"\\\\?\\"))
        full = full.substr(4);
    while (full.size() > 2 && isSlash(full.back())) full.pop_back();
    return (full.size() == 2 && full[1] == L':') || (!rootOf(full).empty() && rootOf(full) == full);
}

// A list line as a full path: a relative line is taken relative to the list
// file's own folder, never the current one. Empty for "C:name", which is
// relative to a drive's current folder.
std::wstring listLinePath(const std::wstring& line, const std::wstring& folder, FileProbe& probe) {
    if (line.size() >= 2 && line[1] == L':' && (line.size() == 2 || !isSlash(line[2]))) return {};
    if (line.size() >= 2 && line[1] == L':') return probe.fullPath(line);
    if (!line.empty() && isSlash(line[0])) {
        if (line.size() > 1 && isSlash(line[1])) return probe.fullPath(line);
        return probe.fullPath(rootOf(folder) + line);
    }
    return probe.fullPath(folder + L"\\" + line);
}

// The paths of the list file, or the reason it is refused.
std::variant<std::vector<std::wstring>, std::wstring> listPaths(const Options& options,
                                                                Services& services) {
    const FileFacts facts = services.files.facts(options.listFile);
    const std::wstring tooLarge = L"it is over 16 MiB; a list of paths is far smaller";
    if (facts.exists && static_cast<std::uint64_t>(facts.size) > kListFileLimit) return tooLarge;
    const auto bytes = services.files.readAll(options.listFile);
    if (!bytes) return L"it cannot be read";
    if (bytes->size() > kListFileLimit) return tooLarge;
    ListRead read = readList(*bytes, options.listEncoding, services.codePages, services.variables);
    if (const auto* problem = std::get_if<ListProblem>(&read)) return problem->message;
    const std::wstring full = services.files.fullPath(options.listFile);
    const std::wstring folder = full.substr(0, full.find_last_of(L"\\/"));
    std::vector<std::wstring> paths;
    for (const ListLine& line : std::get<std::vector<ListLine>>(read)) {
        const std::wstring at = L"line " + std::to_wstring(line.number);
        const std::wstring path = listLinePath(line.path, folder, services.files);
        if (path.empty())
            return at + L" is relative to a drive's current folder; write the path in full";
        if (const std::wstring problem = pst::patternProblem(line.path); !problem.empty())
            return at + L": " + problem;
        if (line.viaVariables && isRoot(path))
            return at + L" becomes the root " + path +
                   L" only through its variables; write a root out in full if it is meant";
        paths.push_back(path);
    }
    return paths;
}

// The paths of the command line followed by those of the list file; false
// (with the message written) when the list cannot be used.
bool gatherPaths(Options& options, Services& services) {
    if (options.listFile.empty()) return true;
    auto read = listPaths(options, services);
    if (const auto* problem = std::get_if<std::wstring>(&read)) {
        services.console.err(L"pelorin-cli: the list file " + options.listFile + L": " + *problem);
        return false;
    }
    for (std::wstring& path : std::get<std::vector<std::wstring>>(read))
        options.paths.push_back(std::move(path));
    if (needsPaths(options) && options.paths.empty()) {
        services.console.err(L"pelorin-cli: no paths given (the list file " + options.listFile +
                             L" names none)");
        return false;
    }
    return true;
}

// A wildcard in a folder's name is a usage error.
bool patternsAreSound(const Options& options, Services& services) {
    for (const std::wstring& path : options.paths) {
        if (const std::wstring problem = pst::patternProblem(path); !problem.empty()) {
            services.console.err(L"pelorin-cli: " + problem);
            return false;
        }
    }
    return true;
}

// "/all" is a usage error unless a file or folder of that name exists.
bool switchesArePaths(const Options& options, Services& services, scan::FileSystem& fs) {
    for (const std::wstring& arg : options.switchLike) {
        const std::wstring full = services.files.fullPath(arg);
        if (services.files.facts(full).exists || fs.folderExists(full)) continue;
        services.console.err(L"pelorin-cli: unknown option " + arg +
                             L" (options start with --; pelorin-cli --help shows the usage)");
        return false;
    }
    return true;
}

// The report's target checked and REPORT.partial opened; false (with the
// message written) when the run must not start.
bool openReport(const Options& options, Services& services, scan::FileSystem& fs,
                std::unique_ptr<ReportWriter>& writer) {
    if (options.report.empty()) return true;
    std::vector<std::wstring> inputs = options.paths;
    if (!options.listFile.empty()) inputs.push_back(options.listFile);
    std::wstring problem = reportTargetProblem(options.report, inputs, services.files, fs);
    if (problem.empty()) {
        auto opened = ReportWriter::open(services.reports, services.files.fullPath(options.report));
        if (auto* w = std::get_if<std::unique_ptr<ReportWriter>>(&opened))
            writer = std::move(*w);
        else
            problem = std::get<std::wstring>(opened);
    }
    if (!problem.empty()) services.console.err(L"pelorin-cli: " + problem);
    return problem.empty();
}

// Facts learnt ahead of the command, each handed out once; anything else is
// asked of the probe beneath.
class FactsAhead final : public FileProbe {
public:
    FactsAhead(FileProbe& probe, std::unordered_map<std::wstring, FileFacts> facts)
        : probe_(probe), facts_(std::move(facts)) {}

    FileFacts facts(const std::wstring& path) override {
        const auto found = facts_.find(path);
        if (found == facts_.end()) return probe_.facts(path);
        FileFacts out = std::move(found->second);
        facts_.erase(found);
        return out;
    }
    std::optional<std::string> readAll(const std::wstring& path) override {
        return probe_.readAll(path);
    }
    bool samePath(const std::wstring& a, const std::wstring& b) override {
        return probe_.samePath(a, b);
    }
    std::wstring fileKey(const std::wstring& path) override { return probe_.fileKey(path); }
    std::wstring fullPath(const std::wstring& path) override { return probe_.fullPath(path); }

private:
    FileProbe& probe_;
    std::unordered_map<std::wstring, FileFacts> facts_;
};

// The run's files and, for attach, the facts of those looked at before
// `enough` was set (Outlook answered): no more are held in memory, and none
// grows old waiting for its turn.
struct Gathered {
    Files expanded;
    std::unordered_map<std::wstring, FileFacts> facts;
};

Gathered gather(const Options& options, Services& services, const std::atomic<bool>& enough) {
    Gathered out{expandPaths(options.paths, services), {}};
    if (options.command != Command::Attach) return out;
    for (const std::wstring& file : out.expanded.files) {
        if (enough) break;
        out.facts.emplace(file, services.files.facts(file));
    }
    return out;
}

// Runs the command on the files; false when Outlook could not be used
// (`unreached` holds why it could not be reached).
bool runCommand(const Options& options, const std::vector<std::wstring>& files,
                std::unique_ptr<OutlookProfile> profile, const std::exception_ptr& unreached,
                FileProbe& probe, Services& services, Reporter& reporter) {
    if (options.command == Command::Check) {
        checkFiles(files, probe, reporter);
        return true;
    }
    try {
        if (unreached) std::rethrow_exception(unreached);
        if (options.command == Command::Attach)
            attachFiles(options, files, *profile, probe, reporter);
        else if (options.command == Command::Detach)
            detachFiles(options, files, *profile, probe, reporter);
        else
            listStores(*profile, probe, reporter);
    } catch (const OutlookUnavailable& e) {
        std::wstring text = e.message;  // one line, for logs
        for (wchar_t& c : text)
            if (c == L'\n') c = L' ';
        services.console.err(L"pelorin-cli: " + text);
        return false;
    } catch (const Error& e) {
        services.console.err(L"pelorin-cli: Outlook failed: " + e.description());
        return false;
    }
    return true;
}

// What the run could not turn into files, as skipped lines ahead of the files.
std::size_t reportGaps(const Files& expanded, Reporter& reporter) {
    for (const std::wstring& folder : expanded.unreadableFolders)
        reporter.done(FileRecord{folder, Result::Skipped, L"folder could not be read"});
    for (const std::wstring& pattern : expanded.unmatchedPatterns)
        reporter.done(FileRecord{pattern, Result::Skipped, L"no file matches"});
    return expanded.unreadableFolders.size() + expanded.unmatchedPatterns.size();
}

std::wstring counted(std::size_t n, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

// The summary over the files, then the folders that could not be read and
// the patterns that matched nothing.
std::wstring summaryOf(const Options& options, const std::vector<FileRecord>& records,
                       const Files& expanded) {
    const std::size_t unreadable = expanded.unreadableFolders.size();
    const std::size_t unmatched = expanded.unmatchedPatterns.size();
    // Their records come first; the summary counts files.
    const std::vector<FileRecord> files(
        records.begin() + static_cast<std::ptrdiff_t>(unreadable + unmatched), records.end());
    std::wstring text = summaryText(options.command, files, options.dryRun);
    if (unreadable)
        text += L", " + counted(unreadable, L"folder", L"folders") + L" could not be read";
    if (unmatched)
        text += L", " + counted(unmatched, L"pattern", L"patterns") + L" matched no file";
    return text;
}

// The run after its command line is read; `summary` gets the summary line
// when Outlook was reached.
int runOptions(Options& options, Services& services, RunLog* log, std::wstring& summary) {
    const std::unique_ptr<scan::FileSystem> fs = services.fileSystems();
    std::unique_ptr<ReportWriter> report;
    if (!patternsAreSound(options, services) || !gatherPaths(options, services) ||
        !switchesArePaths(options, services, *fs) || !openReport(options, services, *fs, report))
        return kExitUsage;

    // The files are found, and for attach looked at, while Outlook starts:
    // on a big tree, a slow share or a cold Outlook each takes a while, and
    // neither needs the other. Outlook's calls stay on this thread.
    std::atomic<bool> connected = false;
    auto gathering =
        std::async(std::launch::async, [&] { return gather(options, services, connected); });
    std::unique_ptr<OutlookProfile> profile;
    std::exception_ptr unreached;  // told after the files that could not be found
    if (options.command != Command::Check) {
        try {
            profile = services.connect(options);
        } catch (...) {
            unreached = std::current_exception();
        }
    }
    connected = true;
    Gathered gathered = gathering.get();
    const Files& expanded = gathered.expanded;
    FactsAhead probe(services.files, std::move(gathered.facts));

    const LineStyle style{options.json, options.quiet};
    Reporter reporter(services.console, static_cast<int>(expanded.files.size()), report.get(), log,
                      style);
    const std::size_t gaps = reportGaps(expanded, reporter);
    const bool reached = runCommand(options, expanded.files, std::move(profile), unreached, probe,
                                    services, reporter);

    int code = reached ? exitCodeOf(reporter.records()) : kExitNoOutlook;
    if (code == kExitOk && gaps) code = kExitFailed;
    if (report) {
        if (const std::wstring problem = report->commit(); !problem.empty()) {
            services.console.err(L"pelorin-cli: " + problem);
            if (code == kExitOk) code = kExitFailed;
        }
    }
    if (reached) summary = summaryOf(options, reporter.records(), expanded);
    if (options.json && !options.quiet)
        services.console.out(jsonSummary(summary, code));
    else if (reached && !options.quiet)
        services.console.err(summary);
    return code;
}

// --log opened for appending; the message for a usage error when it cannot
// be. Text appended to a PST or OST would damage it.
std::variant<std::unique_ptr<RunLog>, std::wstring> openLog(const Options& options,
                                                            Services& services) {
    const std::wstring full = services.files.fullPath(options.log);
    std::wstring lower = full;
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (lower.ends_with(L".pst") || lower.ends_with(L".ost"))
        return L"--log " + options.log + L" names a PST or OST file; name a .log file";
    // Lines appended to a list, an input or the report would spoil it.
    std::vector<std::wstring> others = options.paths;
    for (const std::wstring* other : {&options.listFile, &options.report})
        if (!other->empty()) others.push_back(*other);
    for (const std::wstring& other : others)
        if (services.files.samePath(full, other))
            return L"--log " + options.log + L" is also named as input or report";
    std::unique_ptr<OutputFile> file = services.logs.openAppend(full);
    if (!file)
        return L"--log " + options.log +
               L" cannot be opened for appending (read-only, a folder, or a folder that does "
               L"not exist)";
    return std::make_unique<RunLog>(services.logs, std::move(file));
}

}  // namespace

int runCli(const std::vector<std::wstring>& args, Services& services) {
    ParsedArgs parsed = parseArgs(args);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        services.console.err(L"pelorin-cli: " + error->message);
        return kExitUsage;
    }
    if (const auto* info = std::get_if<Info>(&parsed)) {
        services.console.out(*info == Info::Help ? helpText() : versionText());
        return kExitOk;
    }
    Options options = std::get<Options>(parsed);
    std::unique_ptr<RunLog> log;
    if (!options.log.empty()) {
        auto opened = openLog(options, services);
        if (const auto* problem = std::get_if<std::wstring>(&opened)) {
            services.console.err(L"pelorin-cli: " + *problem);
            return kExitUsage;
        }
        log = std::move(std::get<std::unique_ptr<RunLog>>(opened));
        log->start(versionText(), args);
    }
    std::wstring summary;
    const int code = runOptions(options, services, log.get(), summary);
    if (log) log->end(code, summary);
    return code;
}

}  // namespace pelorin::cli
