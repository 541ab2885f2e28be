// Small owners for the COM types late binding needs (BSTR, VARIANT,
// EXCEPINFO), and invoke(): call a member of an IDispatch by name. Every
// failure raises pelorin::Error(kErrAutomation) carrying the HRESULT and the
// server's own description when it sent one.
#pragma once
#include <oaidl.h>
#include <oleauto.h>
#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "base/error.h"
#include "outlook/automation.h"

namespace pelorin::outlook::com {

// Text of an HRESULT: the system's message, or the number in hex.
std::wstring describe(HRESULT hr);

[[noreturn]] void raise(HRESULT hr, const std::wstring& description);

// Raises when hr failed; `what` names the call in the description.
inline void check(HRESULT hr, std::wstring_view what) {
    if (FAILED(hr)) raise(hr, std::wstring(what) + L": " + describe(hr));
}

// An owned BSTR. The length is kept, so embedded NULs survive.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text);
    ~Bstr() { ::SysFreeString(b_); }
    Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            ::SysFreeString(b_);
            b_ = std::exchange(other.b_, nullptr);
        }
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return b_; }
    BSTR release() { return std::exchange(b_, nullptr); }
    // The text of a BSTR someone else owns (null is empty).
    static std::wstring copyOf(BSTR b) {
        return b ? std::wstring(b, ::SysStringLen(b)) : std::wstring();
    }

private:
    BSTR b_ = nullptr;
};

// An owned VARIANT, cleared on destruction.
class Variant {
public:
    Variant() { ::VariantInit(&v_); }
    explicit Variant(std::wstring_view text);
    explicit Variant(long value) : Variant() {
        v_.vt = VT_I4;
        v_.lVal = value;
    }
    // Not a constructor: a text literal would take it (pointer to bool).
    static Variant boolean(bool value) {
        Variant v;
        v.v_.vt = VT_BOOL;
        v.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }
    // An optional argument left out, as automation passes one.
    static Variant omitted() {
        Variant v;
        v.v_.vt = VT_ERROR;
        v.v_.scode = DISP_E_PARAMNOTFOUND;
        return v;
    }
    // Holds a reference of its own.
    explicit Variant(IDispatch* object) : Variant() {
        v_.vt = VT_DISPATCH;
        v_.pdispVal = object;
        if (object) object->AddRef();
    }
    ~Variant() { ::VariantClear(&v_); }
    Variant(Variant&& other) noexcept : v_(other.v_) { ::VariantInit(&other.v_); }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            ::VariantClear(&v_);
            v_ = other.v_;
            ::VariantInit(&other.v_);
        }
        return *this;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARTYPE vt() const { return v_.vt; }
    // Clears the old value first, for out-parameters.
    VARIANT* put() {
        ::VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

// EXCEPINFO whose strings are freed however the call ends.
class ExcepInfo {
public:
    ExcepInfo() = default;
    ~ExcepInfo() { clear(); }
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;

    EXCEPINFO* get() { return &e_; }
    // The server's description after a DISP_E_EXCEPTION (fills deferred
    // information first), and the error code it stands for.
    std::wstring description();
    HRESULT code();

private:
    void clear();
    void fill();
    EXCEPINFO e_{};
};

// Runs `call` again while it answers "busy" (RPC_E_CALL_REJECTED,
// RPC_E_SERVERCALL_RETRYLATER) and `retry` allows; in between, only paint
// messages are handled, so the window repaints and no click runs nested.
HRESULT retryWhileBusy(const CallRetry* retry, const std::function<HRESULT()>& call);

// The DISPID of member `name` of `object` (GetIDsOfNames).
DISPID idOf(IDispatch* object, std::wstring_view name, const CallRetry* retry = nullptr);

// Calls member `id` (named `name` in failures) on `object` with the given
// arguments (left to right) and returns its result.
Variant invokeId(IDispatch* object, DISPID id, std::wstring_view name, WORD flags, Variant* args,
                 unsigned count, const CallRetry* retry = nullptr);

// Calls `name` on `object` with the given arguments (left to right) and
// returns its result. Raises pelorin::Error on every failure.
Variant invokeArgs(IDispatch* object, std::wstring_view name, WORD flags, Variant* args,
                   unsigned count, const CallRetry* retry = nullptr);

template <class... Args>
Variant invoke(IDispatch* object, std::wstring_view name, WORD flags, Args&&... args) {
    std::array<Variant, sizeof...(Args)> values{Variant(std::forward<Args>(args))...};
    return invokeArgs(object, name, flags, values.data(), static_cast<unsigned>(values.size()));
}

}  // namespace pelorin::outlook::com
