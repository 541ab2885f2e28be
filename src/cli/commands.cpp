#include "cli/commands.h"

#include <exception>
#include <unordered_map>

#include "base/error.h"
#include "cli/store_health.h"
#include "outlook/failure_text.h"
#include "pst/attach_step.h"

namespace pelorin::cli {

namespace {

// The file stores by their keys: each named file is found by its key's hash.
using StoresByKey = std::unordered_map<std::wstring, const Store*>;

StoresByKey byKey(const std::vector<Store>& stores, FileProbe& probe) {
    StoresByKey out;
    for (const Store& store : stores)
        if (!store.filePath.empty()) out.emplace(probe.fileKey(store.filePath), &store);
    return out;
}

const Store* storeOf(const StoresByKey& stores, const std::wstring& path, FileProbe& probe) {
    const auto found = stores.find(probe.fileKey(path));
    return found == stores.end() ? nullptr : found->second;
}

// The record of a file with what its header and length say.
FileRecord measured(const std::wstring& path, const FileFacts& facts) {
    FileRecord record{path};
    if (facts.exists) {
        record.size = facts.size;
        record.format = pst::formatOf(facts);
    }
    return record;
}

// What the file's warnings (a network path, a OneDrive-synced folder) add
// to a reason.
std::wstring withWarnings(std::wstring reason, const FileFacts& facts) {
    if (!facts.exists) return reason;
    const std::wstring warnings = pst::judgeFile(facts).warnings;
    if (warnings.empty()) return reason;
    return reason.empty() ? warnings : reason + L"; " + warnings;
}

// A call given up on is not a failure: Outlook may still carry it out.
void failWith(FileRecord& record, const Error& error) {
    record.result = outlook::isStoppedWait(error) ? Result::Stopped : Result::Failed;
    record.reason = outlook::shortReason(error);
    record.hresult = error.hresult();
}

}  // namespace

void attachFiles(const Options& options, const std::vector<std::wstring>& files,
                 OutlookProfile& profile, FileProbe& probe, Reporter& reporter) {
    bool stopped = false;
    for (const std::wstring& path : files) {
        reporter.starting(path);
        const FileFacts facts = probe.facts(path);
        FileRecord record = measured(path, facts);
        std::wstring refusal = facts.exists ? pst::attachRefusal(facts) : L"file not found";
        // Before the profile is asked: making the path full drops the space
        // or dot, and would find another file among the stores.
        std::wstring badName = facts.exists ? pst::nameRefusal(path) : L"";
        if (stopped) {
            record.result = Result::Skipped;
            record.reason = L"not tried: an earlier file failed";
        } else if (!badName.empty()) {
            record.result = Result::Failed;
            record.reason = std::move(badName);
        } else if (facts.exists && profile.contains(path)) {
            record.result = Result::Already;
            record.reason = L"already in Outlook";
        } else if (!refusal.empty() && (facts.exists || options.dryRun)) {
            record.result = Result::Failed;
            record.reason = std::move(refusal);
        } else if (options.dryRun) {
            record.result = Result::Skipped;
            record.reason = withWarnings(L"dry run: would be attached", facts);
        } else {
            // A missing file goes to the step too: it checks the path again.
            try {
                const bool added = profile.attach(path);
                record.result = added ? Result::Attached : Result::Already;
                record.reason = added ? withWarnings(L"", facts) : L"already in Outlook";
            } catch (const Error& e) {
                failWith(record, e);
            }
        }
        // A dry run changes nothing: every file is gone through and counted as it is.
        const bool bad = record.result == Result::Failed || record.result == Result::Stopped;
        stopped = stopped || (bad && !options.keepGoing && !options.dryRun);
        reporter.done(std::move(record));
    }
}

void detachFiles(const Options& options, const std::vector<std::wstring>& files,
                 OutlookProfile& profile, FileProbe& probe, Reporter& reporter) {
    const std::vector<Store> stores = profile.stores();
    const bool defaultKnown = profile.defaultKnown();
    std::vector<DetachTarget> targets;
    if (options.missing) {
        targets = missingTargets(stores, probe);
    } else if (options.all) {
        for (const Store& store : stores)
            if (store.pst) targets.push_back({store.filePath, &store});
    } else {
        const StoresByKey keyed = byKey(stores, probe);
        for (const std::wstring& path : files)
            targets.push_back({path, storeOf(keyed, path, probe)});
    }
    for (const DetachTarget& target : targets) {
        reporter.starting(target.path);
        FileRecord record{target.path};
        if (!target.store) {
            record.result = Result::Skipped;
            record.reason = L"not in Outlook";
        } else if (!target.keep.empty()) {
            record.result = Result::Skipped;
            record.reason = target.keep;
        } else if (!defaultKnown) {
            record.result = Result::Failed;
            record.reason = L"refused: Outlook does not say which store is the profile's default";
        } else if (target.store->isDefault) {
            // Named, it is a refusal; under --all or --missing it is simply not touched.
            record.result = options.all || options.missing ? Result::Skipped : Result::Failed;
            record.reason = L"refused: the profile's default store";
        } else {
            try {
                profile.remove(*target.store);
                record.result = Result::Detached;
                record.reason = target.removedWhy;
            } catch (const Error& e) {
                failWith(record, e);
            }
        }
        reporter.done(std::move(record));
    }
}

void listStores(OutlookProfile& profile, FileProbe& probe, Reporter& reporter) {
    for (const Store& store : profile.stores()) {
        reporter.starting(store.filePath);
        const bool hasFile = !store.filePath.empty() && store.unreadable.empty();
        reporter.done(storeHealth(store, hasFile ? probe.facts(store.filePath) : FileFacts{}));
    }
}

void checkFiles(const std::vector<std::wstring>& files, FileProbe& probe, Reporter& reporter) {
    for (const std::wstring& path : files) {
        reporter.starting(path);
        reporter.done(checkRecord(path, probe.facts(path)));
    }
}

}  // namespace pelorin::cli
