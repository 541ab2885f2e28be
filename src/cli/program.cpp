// pelorin-cli's run: the command line, the list file, the paths made into
// files (folders searched as Add Folder searches them), the command, the
// report and the exit code.
#include "cli/program.h"

#include <set>
#include <variant>

#include "base/error.h"
#include "cli/commands.h"
#include "pst/attach_step.h"
#include "pst/pst_scan.h"

namespace pelorin::cli {

namespace {

struct Files {
    std::vector<std::wstring> files;
    std::vector<std::wstring> unreadableFolders;
};

// Each path made absolute; a folder becomes the PST files of its tree, in the
// scanner's order; anything else is taken as a file. Each file once, under
// the first of its spellings.
Files expandPaths(const std::vector<std::wstring>& paths, Services& services) {
    Files out;
    std::set<std::wstring> seen;
    const auto take = [&](const std::wstring& file) {
        if (seen.insert(pst::fileKey(file)).second) out.files.push_back(file);
    };
    const std::unique_ptr<scan::FileSystem> fs = services.fileSystems();
    for (const std::wstring& given : paths) {
        std::wstring path = services.files.fullPath(given);
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

// The paths of the command line followed by those of the list file; false
// (with the message written) when the list cannot be read.
bool gatherPaths(Options& options, Services& services) {
    if (options.listFile.empty()) return true;
    const auto bytes = services.files.readAll(options.listFile);
    if (!bytes) {
        services.console.err(L"pelorin-cli: cannot read the list file " + options.listFile);
        return false;
    }
    for (std::wstring& path : listFilePaths(*bytes, services.variables))
        options.paths.push_back(std::move(path));
    if (needsPaths(options) && options.paths.empty()) {
        services.console.err(L"pelorin-cli: no paths given (the list file " + options.listFile +
                             L" names none)");
        return false;
    }
    return true;
}

// Runs the command on the files; false when Outlook could not be used.
bool runCommand(const Options& options, const std::vector<std::wstring>& files, Services& services,
                Reporter& reporter) {
    if (options.command == Command::Check) {
        checkFiles(files, services.files, reporter);
        return true;
    }
    try {
        const std::unique_ptr<OutlookProfile> profile = services.connect();
        if (options.command == Command::Attach)
            attachFiles(options, files, *profile, services.files, reporter);
        else if (options.command == Command::Detach)
            detachFiles(options, files, *profile, services.files, reporter);
        else
            listStores(*profile, services.files, reporter);
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
    if (!gatherPaths(options, services)) return kExitUsage;

    const Files expanded = expandPaths(options.paths, services);
    Reporter reporter(services.console, static_cast<int>(expanded.files.size()));
    for (const std::wstring& folder : expanded.unreadableFolders)
        reporter.done(FileRecord{folder, Result::Skipped, L"folder could not be read"});
    const bool reached = runCommand(options, expanded.files, services, reporter);

    std::vector<FileRecord>& records = reporter.records();
    if (!options.report.empty() && !services.files.writeAll(options.report, csvReport(records))) {
        services.console.err(L"pelorin-cli: cannot write the report " + options.report);
        if (reached) return kExitFailed;
    }
    if (!reached) return kExitNoOutlook;
    // The summary counts files; the unreadable folders have their own lines.
    const std::vector<FileRecord> fileRecords(
        records.begin() + static_cast<std::ptrdiff_t>(expanded.unreadableFolders.size()),
        records.end());
    services.console.err(summaryText(options.command, fileRecords, options.dryRun));
    return exitCodeOf(records);
}

}  // namespace pelorin::cli
