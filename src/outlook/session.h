// Outlook's profile, for any program that attaches, detaches or lists PST
// files: no windows, no message boxes. A session opens Outlook once
// ("Outlook.Application", then its "MAPI" namespace), reads the profile's
// stores, adds a store and removes one. The objects are released when the
// session ends (the namespace first, then the application).
//
//     auto automation = outlook::makeComAutomation();   // outlook/automation_win.h
//     outlook::OutlookSession outlook(*automation);     // raises ConnectError
//     for (const auto& store : outlook.stores()) ...
//     outlook.addStore(L"C:\\mail\\2019.pst");            // raises pelorin::Error
//
// COM must be initialised (apartment threaded) on the calling thread. The
// texts a user sees for a failure come from outlook/failure_text.h.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "outlook/automation.h"

namespace pelorin::outlook {

// Outlook could not be reached at all: the program is missing, runs at
// another integrity level, or did not start. Nothing about any file.
class ConnectError : public Error {
public:
    explicit ConnectError(const Error& cause)
        : Error(cause.number(), cause.description(), cause.hresult()) {}
};

inline constexpr long kPstStoreType = 3;  // ExchangeStoreType of a PST (olNotExchange)

struct StoreInfo {
    std::wstring displayName;
    std::wstring filePath;  // empty for a store that is not a file
    long exchangeStoreType = -1;
    bool isDefault = false;
    // Set when the store's properties could not be read: Outlook's reason
    // ("... (0x80004005)"); the fields read before it are kept.
    std::wstring unreadable;
    // The store's own object, so that removing it needs no new search.
    std::shared_ptr<AutoObject> object;
};

class OutlookSession {
public:
    explicit OutlookSession(Automation& automation);  // raises ConnectError
    ~OutlookSession();
    OutlookSession(const OutlookSession&) = delete;
    OutlookSession& operator=(const OutlookSession&) = delete;

    // The profile's stores in Outlook's order. A store whose properties
    // cannot be read is listed with `unreadable` set; a failure of Stores
    // itself raises.
    // `defaultKnown`, when given, says whether DefaultStore answered.
    std::vector<StoreInfo> stores(bool* defaultKnown = nullptr);
    // The full paths of the profile's file stores, read once; an empty list
    // when even Stores fails (the caller goes on without it).
    std::vector<std::wstring> storePathsOrNone();

    // AddStore(path). Outlook creates an empty PST for a missing path: check
    // the file first (pst/attach_step.h does).
    void addStore(const std::wstring& path);
    // Stores.Count; -1 when it cannot be read.
    long storeCount();
    // The count as this session last read it (with the stores, or in the
    // check after an AddStore), else read now: where the next AddStore puts
    // its store unless another program changed the profile meanwhile.
    long lastStoreCount();
    // Whether the profile lists a store whose FilePath satisfies `matches`:
    // first the stores past the first `after` (where AddStore puts a new
    // one), then the others. Unknown when the stores cannot be read.
    enum class Listed { Yes, No, Unknown };
    Listed listsStore(long after, const std::function<bool(const std::wstring& filePath)>& matches);

    // Removes every store whose FilePath satisfies `matches` (RemoveStore of
    // its root folder); returns how many were removed.
    int removeStores(const std::function<bool(const std::wstring& filePath)>& matches);
    // Removes one store read by stores() (RemoveStore of its root folder).
    void removeStore(AutoObject& store);

private:
    std::unique_ptr<AutoObject> application_;
    std::unique_ptr<AutoObject> mapi_;
    long lastCount_ = -1;
};

}  // namespace pelorin::outlook
