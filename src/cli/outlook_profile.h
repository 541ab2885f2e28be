// The Outlook profile as pelorin-cli uses it: its stores, attaching a PST
// and removing a store. The real one is the window's Outlook session
// (session_profile.h); tests script it. Failures of attach and remove raise
// pelorin::Error with Outlook's description and HRESULT.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace pelorin::cli {

struct Store {
    std::wstring displayName;
    std::wstring filePath;         // empty for a store without a file (a mailbox)
    bool pst = false;              // a personal folders file
    bool isDefault = false;        // the profile's default store
    std::wstring unreadable = {};  // why Outlook could not give its properties; empty when it did
};

class OutlookProfile {
public:
    virtual ~OutlookProfile() = default;
    // The stores as the profile lists them now.
    virtual std::vector<Store> stores() = 0;
    // Whether Outlook said which store is the default when stores() last
    // read the profile (DefaultStore can fail); when not, no store is proven
    // not to be the default.
    virtual bool defaultKnown() = 0;
    // Whether the file is one of the profile's stores (as read at the start,
    // with the files added since).
    virtual bool contains(const std::wstring& path) = 0;
    // The window's per-file step: the file checked again, not sent when it
    // is already in the profile (false), else added by AddStore (true).
    virtual bool attach(const std::wstring& path) = 0;
    // Removes the store (RemoveStore of its root folder); the file stays.
    virtual void remove(const Store& store) = 0;
};

// Raised by a connection when Outlook cannot be used at all: not installed,
// cannot be started, another integrity level, a service account.
struct OutlookUnavailable {
    std::wstring message;
};

}  // namespace pelorin::cli
