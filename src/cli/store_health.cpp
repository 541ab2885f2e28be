#include "cli/store_health.h"

namespace pelorin::cli {

namespace {

// "pst (default): Archive 2019, Unicode PST, 8192 bytes"
std::wstring describe(const Store& store, const FileRecord& record) {
    std::wstring text = std::wstring(store.pst ? L"pst" : L"store") +
                        (store.isDefault ? L" (default)" : L"") + L": " + store.displayName;
    if (!record.format.empty()) text += L", " + record.format;
    if (record.size) text += L", " + std::to_wstring(*record.size) + L" bytes";
    return text;
}

// What is wrong with a PST store's file that is there; empty: nothing.
std::wstring fileProblem(const FileFacts& facts) {
    if (std::wstring header = pst::headerProblem(facts); !header.empty()) return header;
    // Held open by Outlook, the header may not be readable: that is no fault.
    if (!facts.headRead && !facts.inUse) return L"cannot be read";
    return {};
}

}  // namespace

FileRecord storeHealth(const Store& store, const FileFacts& facts) {
    FileRecord record{store.filePath, Result::Ok};
    std::wstring problem;
    if (!store.unreadable.empty()) {
        record.result = Result::Damaged;
        problem = L"Outlook cannot read the store: " + store.unreadable;
    } else if (!store.filePath.empty() && !facts.exists) {
        record.result = Result::Missing;
        problem = pst::absenceText(facts.absence);
    } else if (store.pst) {
        record.size = facts.size;
        record.format = pst::formatOf(facts);
        problem = fileProblem(facts);
        if (!problem.empty()) record.result = Result::Damaged;
    }
    record.reason = describe(store, record);
    if (record.result == Result::Ok && facts.exists && facts.inUse)
        record.reason += L", in use by Outlook";
    if (!problem.empty()) record.reason += L"; " + problem;
    return record;
}

std::vector<DetachTarget> missingTargets(const std::vector<Store>& stores, FileProbe& probe) {
    std::vector<DetachTarget> targets;
    for (const Store& store : stores) {
        if (!store.pst || store.filePath.empty()) continue;
        const FileFacts facts = probe.facts(store.filePath);
        if (facts.exists) continue;
        DetachTarget target{store.filePath, &store};
        if (facts.absence == pst::Absence::FileNotFound)
            target.removedWhy = pst::absenceText(facts.absence);
        else
            target.keep = L"kept: " + pst::absenceText(facts.absence);
        targets.push_back(std::move(target));
    }
    return targets;
}

}  // namespace pelorin::cli
