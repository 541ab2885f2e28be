#include "outlook/session.h"

#include <exception>

#include "base/error.h"
#include "outlook/failure_text.h"

namespace pelorin::outlook {

namespace {

// A store's file path, or empty when it has none or the property fails; a
// wait the user stopped is passed on, never read as "no path".
std::wstring filePathOf(AutoObject& store) {
    try {
        return store.getText(L"FilePath");
    } catch (const Error& e) {
        if (isStoppedWait(e)) throw;
        return {};
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

OutlookSession::OutlookSession(Automation& automation) {
    try {
        application_ = automation.create(L"Outlook.Application");
        mapi_ = application_->callObject(L"GetNamespace", L"MAPI");
    } catch (const Error& e) {
        mapi_.reset();
        application_.reset();
        throw ConnectError(e);
    }
}

OutlookSession::~OutlookSession() {
    mapi_.reset();
    application_.reset();
}

std::vector<StoreInfo> OutlookSession::stores(bool* defaultKnown) {
    auto all = mapi_->getObject(L"Stores");
    std::wstring defaultPath;
    if (defaultKnown) *defaultKnown = false;
    try {
        defaultPath = filePathOf(*mapi_->getObject(L"DefaultStore"));
        if (defaultKnown) *defaultKnown = true;
    } catch (const std::exception&) {}
    std::vector<StoreInfo> out;
    std::vector<std::unique_ptr<AutoObject>> elements = all->elements();
    lastCount_ = static_cast<long>(elements.size());
    for (std::unique_ptr<AutoObject>& element : elements) {
        // A store that cannot be read (a broken link to a server, say) is
        // still a row, with the reason.
        StoreInfo info;
        info.object = std::move(element);
        try {
            info.filePath = filePathOf(*info.object);
            info.displayName = info.object->getText(L"DisplayName");
            info.exchangeStoreType = info.object->getInteger(L"ExchangeStoreType");
        } catch (const Error& e) {
            info.unreadable = describeWithCode(e);
        } catch (const std::exception&) {
            info.unreadable = L"the store cannot be read";
        }
        info.isDefault = !info.filePath.empty() && info.filePath == defaultPath;
        out.push_back(std::move(info));
    }
    return out;
}

std::vector<std::wstring> OutlookSession::storePathsOrNone() {
    std::vector<std::wstring> paths;
    try {
        const auto elements = mapi_->getObject(L"Stores")->elements();
        lastCount_ = static_cast<long>(elements.size());
        for (const auto& element : elements) {
            std::wstring path = filePathOf(*element);
            if (!path.empty()) paths.push_back(std::move(path));
        }
    } catch (const std::exception&) {
        return {};
    }
    return paths;
}

void OutlookSession::addStore(const std::wstring& path) { mapi_->call(L"AddStore", path); }

long OutlookSession::storeCount() {
    try {
        return lastCount_ = mapi_->getObject(L"Stores")->getInteger(L"Count");
    } catch (const Error& e) {
        if (isStoppedWait(e)) throw;  // the user's stop is no unreadable list
        return -1;
    } catch (const std::exception&) {
        return -1;
    }
}

long OutlookSession::lastStoreCount() { return lastCount_ >= 0 ? lastCount_ : storeCount(); }

OutlookSession::Listed OutlookSession::listsStore(
    long after, const std::function<bool(const std::wstring&)>& matches) {
    std::unique_ptr<AutoObject> all;
    long count = 0;
    try {
        all = mapi_->getObject(L"Stores");
        count = lastCount_ = all->getInteger(L"Count");
    } catch (const Error& e) {
        if (isStoppedWait(e)) throw;
        return Listed::Unknown;
    } catch (const std::exception&) {
        return Listed::Unknown;
    }
    const long first = after >= 0 && after < count ? after : 0;
    for (long n = 0; n < count; ++n) {
        const long i = (first + n) % count + 1;  // the new stores first, then the rest
        try {
            const std::wstring path = filePathOf(*all->item(i));
            if (!path.empty() && matches(path)) return Listed::Yes;
        } catch (const Error& e) {
            if (isStoppedWait(e)) throw;
        } catch (const std::exception&) {}
    }
    return Listed::No;
}

int OutlookSession::removeStores(const std::function<bool(const std::wstring&)>& matches) {
    // Collected first: removing a store renumbers the ones after it.
    std::vector<std::unique_ptr<AutoObject>> doomed;
    auto all = mapi_->getObject(L"Stores");
    const long count = all->getInteger(L"Count");
    for (long i = 1; i <= count; ++i) {
        auto store = all->item(i);
        const std::wstring path = filePathOf(*store);
        if (!path.empty() && matches(path)) doomed.push_back(std::move(store));
    }
    for (auto& store : doomed) removeStore(*store);
    return static_cast<int>(doomed.size());
}

void OutlookSession::removeStore(AutoObject& store) {
    auto root = store.getObject(L"GetRootFolder");
    mapi_->callWith(L"RemoveStore", *root);
}

}  // namespace pelorin::outlook
