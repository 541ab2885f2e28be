#include "stores.h"

#include <new>

#include "dispatch.h"

namespace standin {

namespace {

enum : DISPID { kCount = 1, kItem, kFilePath, kDisplayName, kStoreType, kRootFolder, kName };
constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

// Lets RemoveStore find its way back from a folder object to the store.
// {5B0C39E2-8E0A-4B8C-9C55-2B3D6F1A7E41}
constexpr IID kIidRootFolder = {
    0x5b0c39e2, 0x8e0a, 0x4b8c, {0x9c, 0x55, 0x2b, 0x3d, 0x6f, 0x1a, 0x7e, 0x41}};

std::wstring displayNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

template <class T, class... A>
HRESULT returnNew(VARIANT* result, A&&... args) {
    auto* object = new (std::nothrow) T(std::forward<A>(args)...);
    if (!object) return E_OUTOFMEMORY;
    return returnObject(result, object);
}

class Folder final : public DispatchObject {
public:
    explicit Folder(std::wstring path)
        : DispatchObject({{L"Name", kName, kGet}}), path_(std::move(path)) {}
    const std::wstring& path() const { return path_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out && iid == kIidRootFolder) {
            *out = this;
            AddRef();
            return S_OK;
        }
        return DispatchObject::QueryInterface(iid, out);
    }

protected:
    HRESULT call(DISPID id, const Args& args, VARIANT* result) override {
        if (id != kName) return DISP_E_MEMBERNOTFOUND;
        const HRESULT hr = args.expect(0);
        return FAILED(hr) ? hr : returnText(result, displayNameOf(path_));
    }

private:
    std::wstring path_;
};

class Store final : public DispatchObject {
public:
    explicit Store(std::wstring path)
        : DispatchObject({{L"FilePath", kFilePath, kGet},
                          {L"DisplayName", kDisplayName, kGet},
                          {L"ExchangeStoreType", kStoreType, kGet},
                          {L"GetRootFolder", kRootFolder, DISPATCH_METHOD}}),
          path_(std::move(path)) {}

protected:
    HRESULT call(DISPID id, const Args& args, VARIANT* result) override {
        const HRESULT hr = args.expect(0);
        if (FAILED(hr)) return hr;
        switch (id) {
        case kFilePath: return returnText(result, path_);
        case kDisplayName: return returnText(result, displayNameOf(path_));
        case kStoreType: return returnInteger(result, 3);  // olNotExchange
        case kRootFolder: return returnNew<Folder>(result, path_);
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    std::wstring path_;
};

class Stores final : public DispatchObject {
public:
    explicit Stores(Paths paths)
        : DispatchObject({{L"Count", kCount, kGet},
                          {L"Item", kItem, kGet},
                          {L"_NewEnum", DISPID_NEWENUM, kGet}}),
          paths_(std::move(paths)) {}

protected:
    HRESULT call(DISPID id, const Args& args, VARIANT* result) override {
        HRESULT hr = S_OK;
        switch (id) {
        case kCount:
            if (FAILED(hr = args.expect(0))) return hr;
            return returnInteger(result, static_cast<long>(paths_->size()));
        case kItem: {
            long index = 0;
            if (FAILED(hr = args.expect(1)) || FAILED(hr = args.integer(0, index))) return hr;
            if (index < 1 || static_cast<size_t>(index) > paths_->size()) return DISP_E_BADINDEX;
            return returnNew<Store>(result, (*paths_)[static_cast<size_t>(index - 1)]);
        }
        case DISPID_NEWENUM:
            if (FAILED(hr = args.expect(0))) return hr;
            return enumerate(result);
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    // The enumeration hands out a fresh Store per path in a VARIANT array.
    HRESULT enumerate(VARIANT* result);
    Paths paths_;
};

class StoreEnum final : public IEnumVARIANT {
public:
    explicit StoreEnum(Paths paths) : paths_(std::move(paths)) { lockServer(); }
    ~StoreEnum() { unlockServer(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IEnumVARIANT) {
            *out = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&refs_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        ++callCounts().nexts;
        ULONG n = 0;
        for (; n < count && next_ < paths_->size(); ++n, ++next_) {
            ::VariantInit(&out[n]);
            returnNew<Store>(&out[n], (*paths_)[next_]);
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        next_ += count;
        return next_ <= paths_->size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        if (!out) return E_POINTER;
        auto* copy = new (std::nothrow) StoreEnum(paths_);
        if (!copy) return E_OUTOFMEMORY;
        copy->next_ = next_;
        *out = copy;
        return S_OK;
    }

private:
    LONG refs_ = 1;
    Paths paths_;
    size_t next_ = 0;
};

HRESULT Stores::enumerate(VARIANT* result) {
    auto* e = new (std::nothrow) StoreEnum(paths_);
    if (!e) return E_OUTOFMEMORY;
    if (!result) {
        e->Release();
        return S_OK;
    }
    result->vt = VT_UNKNOWN;
    result->punkVal = e;
    return S_OK;
}

}  // namespace

IDispatch* newStores(Paths paths) { return new (std::nothrow) Stores(std::move(paths)); }

IDispatch* newStore(const std::wstring& path) { return new (std::nothrow) Store(path); }

bool rootFolderPath(IUnknown* object, std::wstring& path) {
    void* raw = nullptr;
    if (!object || FAILED(object->QueryInterface(kIidRootFolder, &raw)) || !raw) return false;
    auto* folder = static_cast<Folder*>(static_cast<DispatchObject*>(raw));
    path = folder->path();
    folder->Release();
    return true;
}

}  // namespace standin
