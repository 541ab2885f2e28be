#include "cli/session_profile.h"

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "base/error.h"
#include "outlook/failure_text.h"
#include "outlook/session.h"
#include "pst/attach_step.h"
#include "pst/name_pattern.h"
#include "pst/pst_scan.h"

namespace pelorin::cli {

namespace {

class SessionProfile final : public OutlookProfile {
public:
    SessionProfile(std::unique_ptr<outlook::Automation> automation,
                   std::unique_ptr<scan::FileSystem> files)
        : automation_(std::move(automation)), files_(std::move(files)), session_(*automation_) {}

    // The store objects are kept, so that removing one needs no new search.
    std::vector<Store> stores() override {
        std::vector<Store> out;
        objects_.clear();
        for (outlook::StoreInfo& info : session_.stores(&defaultKnown_)) {
            out.push_back(Store{
                info.displayName, info.filePath,
                info.exchangeStoreType == outlook::kPstStoreType && pst::isPstPath(info.filePath),
                info.isDefault, info.unreadable});
            if (!info.filePath.empty()) objects_.emplace(info.filePath, std::move(info.object));
        }
        return out;
    }
    bool defaultKnown() override { return defaultKnown_; }
    bool contains(const std::wstring& path) override { return inProfile().contains(path); }
    bool attach(const std::wstring& path) override {
        return pst::attachFile(*files_, session_, inProfile(), path) == pst::AttachOutcome::Added;
    }
    void remove(const Store& store) override {
        if (const auto read = objects_.find(store.filePath); read != objects_.end()) {
            const std::shared_ptr<outlook::AutoObject> object = std::move(read->second);
            objects_.erase(read);
            session_.removeStore(*object);
            return;
        }
        const auto same = [&](const std::wstring& p) { return pst::sameFile(p, store.filePath); };
        if (session_.removeStores(same) == 0)
            throw Error(kErrAutomation, L"the store is no longer in the profile");
    }

private:
    // The profile's files, read when first asked about: list and detach
    // read the profile once, through stores().
    pst::ProfileFiles& inProfile() {
        if (!inProfile_) inProfile_.emplace(session_.storePathsOrNone());
        return *inProfile_;
    }

    std::unique_ptr<outlook::Automation> automation_;
    std::unique_ptr<scan::FileSystem> files_;
    outlook::OutlookSession session_;
    std::optional<pst::ProfileFiles> inProfile_;
    bool defaultKnown_ = false;
    // The objects of the stores last read, by their file path as Outlook gave it.
    std::unordered_map<std::wstring, std::shared_ptr<outlook::AutoObject>> objects_;
};

constexpr std::int32_t kHrUnknownName =
    static_cast<std::int32_t>(0x80020006);  // DISP_E_UNKNOWNNAME

// Outlook's DefaultProfileName is empty when the user has no profile, and
// reading it opens no wizard; an Outlook older than 2007 does not know it,
// and its profile is left to the session. The application is kept while the
// session connects, so Outlook is started once.
std::unique_ptr<outlook::AutoObject> requireProfile(outlook::Automation& automation) {
    std::unique_ptr<outlook::AutoObject> application;
    std::wstring profile;
    try {
        application = automation.create(L"Outlook.Application");
        profile = application->getText(L"DefaultProfileName");
    } catch (const Error& e) {
        if (!application || e.hresult() != kHrUnknownName) throw outlook::ConnectError(e);
        return application;
    }
    if (profile.empty()) throw OutlookUnavailable{kNoProfileYet};
    return application;
}

bool sameProfileName(const std::wstring& a, const std::wstring& b) {
    return pst::caseFolded(a) == pst::caseFolded(b);
}

// The profile Outlook has open, which must be the one named before anything
// is read or changed. Outlook uses one profile while it runs: Logon opens the
// named one only in an Outlook that is not running yet (and changes nothing
// in one that is). No dialog (no one may be there to answer it), and a new
// session rather than a shared MAPI one that another program may hold open
// on another profile.
void useProfile(outlook::AutoObject& application, const std::wstring& wanted, bool wasRunning) {
    const auto mapi = application.callObject(L"GetNamespace", L"MAPI");
    if (!wasRunning) {
        try {
            mapi->callArgs(L"Logon", {wanted, outlook::Omitted{}, false, true});
        } catch (const Error& e) {
            if (outlook::isStoppedWait(e)) throw;
            throw OutlookUnavailable{L"the Outlook profile \"" + wanted +
                                     L"\" does not exist or cannot be opened (" +
                                     outlook::shortReason(e) + L")"};
        }
    }
    std::wstring open;
    try {
        open = mapi->getText(L"CurrentProfileName");
    } catch (const Error& e) {
        if (e.hresult() != kHrUnknownName) throw;
        throw OutlookUnavailable{
            L"this Outlook does not say which profile it has open, so --profile cannot be "
            L"kept to; run without --profile"};
    }
    if (sameProfileName(open, wanted)) return;
    if (wasRunning)
        throw OutlookUnavailable{L"Outlook is running with the profile \"" + open + L"\", not \"" +
                                 wanted + L"\"; close Outlook and run again"};
    // An Outlook that runs may not have said so yet (it registers itself
    // late), and one that starts may fall back to its default profile.
    throw OutlookUnavailable{L"Outlook has the profile \"" + open + L"\" open, not \"" + wanted +
                             L"\": Outlook was running already (close it and run again), or "
                             L"there is no profile \"" +
                             wanted + L"\""};
}

}  // namespace

std::unique_ptr<OutlookProfile> connectSession(std::unique_ptr<outlook::Automation> automation,
                                               const scan::FileSystemFactory& fileSystems,
                                               const std::wstring& profileName) {
    try {
        // Asked before Outlook is started by the connection itself.
        const bool wasRunning = !profileName.empty() && automation->running(L"Outlook.Application");
        const auto running = requireProfile(*automation);
        if (!profileName.empty()) useProfile(*running, profileName, wasRunning);
        return std::make_unique<SessionProfile>(std::move(automation), fileSystems());
    } catch (const outlook::ConnectError& e) {
        throw OutlookUnavailable{outlook::connectFailureText(e)};
    }
}

}  // namespace pelorin::cli
