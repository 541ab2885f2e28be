// The profile through late-bound calls: NameSpace.Stores (Count, Item(i),
// FilePath, DisplayName, ExchangeStoreType), NameSpace.DefaultStore,
// AddStore(path) and RemoveStore(store.GetRootFolder()).
#include "cli/outlook_win.h"

#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include "base/error.h"
#include "base/handles_win.h"
#include "base/path_win.h"
#include "outlook/com_win.h"
#include "pstlist/add_folder.h"

namespace pelorin::cli {

namespace {

using Microsoft::WRL::ComPtr;
constexpr long kNotExchange = 3;  // ExchangeStoreType of a store that is a file

constexpr wchar_t kNotInstalled[] =
    L"Outlook (classic) is not installed on this computer. The new Outlook cannot add PST files.";
constexpr wchar_t kOtherLevel[] =
    L"Outlook could not be reached. If Outlook or Pelorin runs as administrator, run both the "
    L"same way.";
constexpr wchar_t kServiceAccount[] =
    L"pelorin-cli runs as a service account (such as SYSTEM), where Outlook automation is not "
    L"supported. Run it as the user, for example from the user's logon script.";

ComPtr<IDispatch> objectOf(outlook::com::Variant&& v, const wchar_t* what) {
    ComPtr<IDispatch> object;
    if (v.vt() == VT_DISPATCH && v.get()->pdispVal) object = v.get()->pdispVal;
    else outlook::com::raise(DISP_E_TYPEMISMATCH, std::wstring(what) + L": not an object");
    return object;
}

outlook::com::Variant get(IDispatch* object, const wchar_t* name) {
    return outlook::com::invoke(object, name, DISPATCH_PROPERTYGET);
}

std::wstring textOf(outlook::com::Variant&& v) {
    if (FAILED(::VariantChangeType(v.get(), v.get(), 0, VT_BSTR)) || !v.get()->bstrVal) return {};
    return std::wstring(v.get()->bstrVal, ::SysStringLen(v.get()->bstrVal));
}

long numberOf(outlook::com::Variant&& v) {
    if (FAILED(::VariantChangeType(v.get(), v.get(), 0, VT_I4))) return -1;
    return v.get()->lVal;
}

class ComProfile final : public OutlookProfile {
public:
    ComProfile(ComPtr<IDispatch> application, ComPtr<IDispatch> mapi)
        : application_(std::move(application)), mapi_(std::move(mapi)) {}

    std::vector<Store> stores() override {
        objects_.clear();
        std::vector<Store> out;
        const ComPtr<IDispatch> list = objectOf(get(mapi_.Get(), L"Stores"), L"Stores");
        const long count = numberOf(get(list.Get(), L"Count"));
        const Store fallback = defaultStore();
        for (long i = 1; i <= count; ++i) {
            ComPtr<IDispatch> store = objectOf(
                outlook::com::invoke(list.Get(), L"Item", DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                     long{i}),
                L"Stores.Item");
            Store s{textOf(get(store.Get(), L"DisplayName")), textOf(get(store.Get(), L"FilePath"))};
            s.pst = numberOf(get(store.Get(), L"ExchangeStoreType")) == kNotExchange &&
                    pstlist::isPstPath(s.filePath);
            s.isDefault = s.filePath.empty() ? s.displayName == fallback.displayName
                                             : samePath(s.filePath, fallback.filePath);
            out.push_back(s);
            objects_.push_back(std::move(store));
        }
        return out;
    }

    void add(const std::wstring& path) override {
        outlook::com::invoke(mapi_.Get(), L"AddStore", DISPATCH_METHOD, std::wstring_view(path));
    }

    void remove(const Store& store) override {
        const std::vector<Store> now = stores();
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (now[i].filePath.empty() || !samePath(now[i].filePath, store.filePath)) continue;
            ComPtr<IDispatch> root = objectOf(
                outlook::com::invoke(objects_[i].Get(), L"GetRootFolder", DISPATCH_METHOD),
                L"GetRootFolder");
            outlook::com::Variant folder;
            folder.put()->vt = VT_DISPATCH;
            folder.get()->pdispVal = root.Detach();
            outlook::com::invokeArgs(mapi_.Get(), L"RemoveStore", DISPATCH_METHOD, &folder, 1);
            return;
        }
        throw Error(kErrAutomation, L"the store is no longer in the profile");
    }

private:
    // The default store's name and file; empty when Outlook does not say.
    Store defaultStore() {
        try {
            const ComPtr<IDispatch> store = objectOf(get(mapi_.Get(), L"DefaultStore"), L"DefaultStore");
            return Store{textOf(get(store.Get(), L"DisplayName")), textOf(get(store.Get(), L"FilePath"))};
        } catch (const Error&) {
            return Store{L"\x1", L""};  // matches no store
        }
    }

    ComPtr<IDispatch> application_;
    ComPtr<IDispatch> mapi_;
    std::vector<ComPtr<IDispatch>> objects_;  // the stores last listed, in order
};

[[noreturn]] void unavailable(HRESULT hr) {
    if (hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG) throw OutlookUnavailable{kNotInstalled};
    if (hr == CO_E_SERVER_EXEC_FAILURE || hr == E_ACCESSDENIED) throw OutlookUnavailable{kOtherLevel};
    throw OutlookUnavailable{L"Outlook could not be started. " + outlook::com::describe(hr)};
}

}  // namespace

bool runsAsServiceAccount() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    const UniqueKernelHandle token(raw);
    alignas(TOKEN_USER) unsigned char buffer[256];
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size)) return false;
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
    return ::IsWellKnownSid(sid, WinLocalSystemSid) || ::IsWellKnownSid(sid, WinLocalServiceSid) ||
           ::IsWellKnownSid(sid, WinNetworkServiceSid);
}

std::unique_ptr<OutlookProfile> connectOutlook() {
    if (runsAsServiceAccount()) throw OutlookUnavailable{kServiceAccount};
    CLSID clsid{};
    HRESULT hr = ::CLSIDFromProgID(L"Outlook.Application", &clsid);
    if (FAILED(hr)) unavailable(hr);
    ComPtr<IDispatch> application;
    hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&application));
    if (FAILED(hr)) unavailable(hr);
    try {
        return std::make_unique<ComProfile>(application, objectOf(
            outlook::com::invoke(application.Get(), L"GetNamespace",
                                 DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::wstring_view(L"MAPI")),
            L"GetNamespace"));
    } catch (const Error& e) {
        unavailable(e.hresult());
    }
}

}  // namespace pelorin::cli
