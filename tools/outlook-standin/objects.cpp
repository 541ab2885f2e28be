#include "objects.h"

#include <algorithm>
#include <new>

#include "base/handles_win.h"
#include "base/path_win.h"
#include "dispatch.h"
#include "held_files.h"
#include "logon.h"
#include "profile.h"
#include "settings.h"
#include "stores.h"

namespace standin {

namespace {

enum : DISPID {
    kGetNamespace = 1,
    kName,
    kProcessId,
    kQuit,
    kDefaultProfileName,
    kAddStore = 101,
    kAddStoreEx,
    kRemoveStore,
    kStores,
    kDefaultStore,
    kStoreCount,
    kStorePath,
    kProfilePath,
    kLogon,
    kCurrentProfileName,
};
constexpr WORD kMethod = DISPATCH_METHOD;
constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

class Namespace final : public DispatchObject {
public:
    Namespace()
        : DispatchObject({{L"AddStore", kAddStore, kMethod},
                          {L"AddStoreEx", kAddStoreEx, kMethod},
                          {L"RemoveStore", kRemoveStore, kMethod},
                          {L"Stores", kStores, kGet},
                          {L"DefaultStore", kDefaultStore, kGet},
                          {L"StoreCount", kStoreCount, kGet},
                          {L"StorePath", kStorePath, kGet},
                          {L"ProfilePath", kProfilePath, kGet},
                          {L"Logon", kLogon, kMethod},
                          {L"CurrentProfileName", kCurrentProfileName, kGet}}) {
        // Outlook opens the profile's stores when it logs on.
        try {
            holdStoreFiles(*profile_.stores());
        } catch (const Refusal&) {}
    }

protected:
    HRESULT call(DISPID id, const Args& args, VARIANT* result) override {
        HRESULT hr = S_OK;
        std::wstring path;
        long type = 0;
        if (id == kLogon) return logon(args);
        const std::wstring profile = sessionProfile();  // any other use opens the session
        switch (id) {
        case kCurrentProfileName:
            if (FAILED(hr = args.expect(0))) return hr;
            return returnText(result, profile);
        case kAddStore:
            if (FAILED(hr = args.expect(1)) || FAILED(hr = args.text(0, path))) return hr;
            addStore(path, L"AddStore");
            return S_OK;
        case kAddStoreEx:
            if (FAILED(hr = args.expect(2)) || FAILED(hr = args.text(0, path)) ||
                FAILED(hr = args.integer(1, type)))
                return hr;
            addStore(path, L"AddStoreEx");
            return S_OK;
        case kRemoveStore:
            if (FAILED(hr = args.expect(1)) || FAILED(hr = args.rootFolder(0, path))) return hr;
            removeStore(path);
            return S_OK;
        case kStores:
            if (FAILED(hr = args.expect(0))) return hr;
            return returnObject(result, newStores(profile_.stores()));
        case kDefaultStore: {
            if (FAILED(hr = args.expect(0))) return hr;
            const Paths stores = profile_.stores();
            if (stores->empty()) throw Refusal{E_FAIL, L"The profile has no default store."};
            return returnObject(result, newStore(stores->front()));
        }
        case kStoreCount:
            if (FAILED(hr = args.expect(0))) return hr;
            return returnInteger(result, static_cast<long>(profile_.stores()->size()));
        case kStorePath: {
            long index = 0;
            if (FAILED(hr = args.expect(1)) || FAILED(hr = args.integer(0, index))) return hr;
            const Paths stores = profile_.stores();
            if (index < 1 || static_cast<size_t>(index) > stores->size()) return DISP_E_BADINDEX;
            return returnText(result, (*stores)[static_cast<size_t>(index - 1)]);
        }
        case kProfilePath:
            if (FAILED(hr = args.expect(0))) return hr;
            return returnText(result, profile_.path());
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    // As Outlook does, a path where no file exists gets a new, empty PST; the
    // path is opened as a plain Win32 open takes it.
    void addStore(const std::wstring& given, const wchar_t* member) {
        logCall(std::wstring(member) + L" " + given);
        if (const DWORD block = blockAddStoreMs()) ::Sleep(block);
        applyInjectedFailure(given);
        if (addStoreIgnored(given)) return;
        const std::wstring path = plainOpenPath(given);
        // A file already in the profile counts as added: it is open already,
        // and the hold on it would refuse the checks below.
        if (profile_.contains(path)) return;
        if (::GetFileAttributesW(pelorin::longPath(path).c_str()) == INVALID_FILE_ATTRIBUTES)
            createEmptyPst(path);
        const std::wstring refusal = refusalFor(path);
        if (!refusal.empty()) {
            const bool denied = refusal.rfind(L"File access", 0) == 0;
            throw Refusal{denied ? E_ACCESSDENIED : E_FAIL, refusal};
        }
        if (profile_.add(path)) holdStoreFiles({path});
    }

    void removeStore(const std::wstring& path) {
        logCall(L"RemoveStore " + path);
        if (profile_.remove(path)) releaseStoreFile(path);
    }

    Profile& profile_ = Profile::instance();
};

// Without a profile Outlook opens its profile wizard on the first call that
// needs one, and that call waits until the user has finished it.
void waitInProfileWizard() {
    ::MessageBoxW(nullptr,
                  L"There is no Outlook profile for this user yet. Set up an account to go on.",
                  L"Outlook stand-in: new profile", MB_OK | MB_ICONINFORMATION);
}

class Application final : public DispatchObject {
public:
    Application()
        : DispatchObject({{L"GetNamespace", kGetNamespace, kGet},
                          {L"Name", kName, kGet},
                          {L"ProcessId", kProcessId, kGet},
                          {L"Quit", kQuit, kMethod},
                          {L"DefaultProfileName", kDefaultProfileName, kGet}}) {}

protected:
    HRESULT call(DISPID id, const Args& args, VARIANT* result) override {
        HRESULT hr = S_OK;
        switch (id) {
        case kGetNamespace: {
            std::wstring type;
            if (FAILED(hr = args.expect(1)) || FAILED(hr = args.text(0, type))) return hr;
            if (::CompareStringOrdinal(type.c_str(), -1, L"MAPI", -1, TRUE) != CSTR_EQUAL)
                throw Refusal{E_INVALIDARG, L"The namespace type " + type + L" is not supported."};
            if (profileMissing()) waitInProfileWizard();
            auto* ns = new (std::nothrow) Namespace();
            if (!ns) return E_OUTOFMEMORY;
            return returnObject(result, ns);
        }
        case kName:
            if (FAILED(hr = args.expect(0))) return hr;
            return returnText(result, L"Outlook stand-in");
        case kProcessId:
            if (FAILED(hr = args.expect(0))) return hr;
            return returnInteger(result, static_cast<long>(::GetCurrentProcessId()));
        case kQuit: return args.expect(0);
        case kDefaultProfileName:
            // Outlook's is empty when the user has no profile; reading it
            // needs none.
            if (FAILED(hr = args.expect(0))) return hr;
            return returnText(result, profileMissing() ? L"" : defaultProfileName());
        }
        return DISP_E_MEMBERNOTFOUND;
    }
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* app = new (std::nothrow) Application();
        if (!app) return E_OUTOFMEMORY;
        const HRESULT hr = app->QueryInterface(iid, out);
        app->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            lockServer();
        else
            unlockServer();
        return S_OK;
    }
};

Factory factory;

}  // namespace

IClassFactory* applicationFactory() { return &factory; }

}  // namespace standin
