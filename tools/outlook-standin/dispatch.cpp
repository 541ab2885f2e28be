#include "dispatch.h"

#include <oleauto.h>

#include "settings.h"
#include "stores.h"

namespace standin {

CallCounts& callCounts() {
    static CallCounts counts;
    return counts;
}

HRESULT Args::expect(unsigned count) const {
    if (params_->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    return params_->cArgs == count ? S_OK : DISP_E_BADPARAMCOUNT;
}

HRESULT Args::atMost(unsigned count) const {
    if (params_->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    return params_->cArgs <= count ? S_OK : DISP_E_BADPARAMCOUNT;
}

bool Args::given(unsigned index) const {
    if (index >= params_->cArgs) return false;
    const VARIANT* v = at(index);
    return !(v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND) && v->vt != VT_EMPTY;
}

HRESULT Args::boolean(unsigned index, bool& out) const {
    VARIANT v;
    ::VariantInit(&v);
    if (FAILED(::VariantChangeType(&v, at(index), 0, VT_BOOL))) {
        if (argErr_) *argErr_ = params_->cArgs - 1 - index;
        return DISP_E_TYPEMISMATCH;
    }
    out = v.boolVal != VARIANT_FALSE;
    return S_OK;
}

HRESULT Args::text(unsigned index, std::wstring& out) const {
    VARIANT v;
    ::VariantInit(&v);
    // Accepts a BSTR, one passed by reference, or anything that converts.
    const HRESULT hr = ::VariantChangeType(&v, at(index), 0, VT_BSTR);
    if (FAILED(hr)) {
        if (argErr_) *argErr_ = params_->cArgs - 1 - index;
        return DISP_E_TYPEMISMATCH;
    }
    out.assign(v.bstrVal ? v.bstrVal : L"", v.bstrVal ? ::SysStringLen(v.bstrVal) : 0);
    ::VariantClear(&v);
    return S_OK;
}

HRESULT Args::integer(unsigned index, long& out) const {
    VARIANT v;
    ::VariantInit(&v);
    const HRESULT hr = ::VariantChangeType(&v, at(index), 0, VT_I4);
    if (FAILED(hr)) {
        if (argErr_) *argErr_ = params_->cArgs - 1 - index;
        return DISP_E_TYPEMISMATCH;
    }
    out = v.lVal;
    return S_OK;
}

HRESULT Args::rootFolder(unsigned index, std::wstring& path) const {
    const VARIANT* v = at(index);
    if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
    IUnknown* object = nullptr;
    if (v->vt == VT_DISPATCH)
        object = v->pdispVal;
    else if (v->vt == VT_UNKNOWN)
        object = v->punkVal;
    else if (v->vt == (VT_BYREF | VT_DISPATCH) && v->ppdispVal)
        object = *v->ppdispVal;
    if (rootFolderPath(object, path)) return S_OK;
    if (argErr_) *argErr_ = params_->cArgs - 1 - index;
    return DISP_E_TYPEMISMATCH;
}

DispatchObject::DispatchObject(std::initializer_list<Member> members) : members_(members) {
    lockServer();
}

DispatchObject::~DispatchObject() { unlockServer(); }

HRESULT DispatchObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG DispatchObject::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

ULONG DispatchObject::Release() {
    const LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

// A starting server refuses calls on its objects (activation goes through):
// the caller's message filter or its own retry decides when to try again.
HRESULT DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    ++callCounts().names;
    if (busyNow()) return RPC_E_CALL_REJECTED;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    // Names after the first would be parameter names: none are known.
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (const Member& m : members_) {
        if (names[0] && ::CompareStringOrdinal(names[0], -1, m.name, -1, TRUE) == CSTR_EQUAL) {
            ids[0] = m.id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* error, UINT* argErr) {
    ++callCounts().invokes;
    if (busyNow()) return RPC_E_CALL_REJECTED;
    if (!params) return E_INVALIDARG;
    const Member* member = nullptr;
    for (const Member& m : members_)
        if (m.id == id) member = &m;
    if (!member || (flags & member->flags) == 0) return DISP_E_MEMBERNOTFOUND;
    if (result) ::VariantInit(result);
    try {
        return call(id, Args(params, argErr), result);
    } catch (const Refusal& refusal) {
        if (!error) return refusal.code;
        *error = EXCEPINFO{};
        error->bstrSource = ::SysAllocString(L"Outlook stand-in");
        error->bstrDescription = ::SysAllocStringLen(refusal.description.data(),
                                                     static_cast<UINT>(refusal.description.size()));
        error->scode = refusal.code;
        return DISP_E_EXCEPTION;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT returnText(VARIANT* result, const std::wstring& text) {
    if (!result) return S_OK;
    result->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!result->bstrVal) return E_OUTOFMEMORY;
    result->vt = VT_BSTR;
    return S_OK;
}

HRESULT returnInteger(VARIANT* result, long value) {
    if (!result) return S_OK;
    result->vt = VT_I4;
    result->lVal = value;
    return S_OK;
}

HRESULT returnObject(VARIANT* result, IDispatch* object) {
    if (!result) {
        object->Release();
        return S_OK;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    return S_OK;
}

}  // namespace standin
