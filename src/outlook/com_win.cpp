#include "outlook/com_win.h"

#include <memory>
#include <utility>
#include <vector>

#include "outlook/call_wait.h"
#include "outlook/failure_text.h"

namespace pelorin::outlook::com {

std::wstring describe(HRESULT hr) {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::unique_ptr<wchar_t, decltype(&::LocalFree)> owner(text, &::LocalFree);
    std::wstring result;
    if (n != 0 && text) {
        result.assign(text, n);
        while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' ||
                                   result.back() == L' ' || result.back() == L'.'))
            result.pop_back();
    }
    const std::wstring number = hresultText(hr);
    return result.empty() ? std::wstring(L"Automation error ") + number
                          : result + L" (" + number + L")";
}

void raise(HRESULT hr, const std::wstring& description) {
    throw Error(kErrAutomation, description, static_cast<std::int32_t>(hr));
}

Bstr::Bstr(std::wstring_view text)
    : b_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (!b_) raise(E_OUTOFMEMORY, L"Out of memory");
}

Variant::Variant(std::wstring_view text) : Variant() {
    Bstr b(text);
    v_.vt = VT_BSTR;
    v_.bstrVal = b.release();
}

void ExcepInfo::fill() {
    if (e_.pfnDeferredFillIn) {
        auto fillIn = e_.pfnDeferredFillIn;
        e_.pfnDeferredFillIn = nullptr;
        fillIn(&e_);
    }
}

std::wstring ExcepInfo::description() {
    fill();
    if (e_.bstrDescription)
        return std::wstring(e_.bstrDescription, ::SysStringLen(e_.bstrDescription));
    return describe(code());
}

HRESULT ExcepInfo::code() {
    fill();
    if (FAILED(e_.scode)) return e_.scode;
    return e_.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, e_.wCode) : DISP_E_EXCEPTION;
}

void ExcepInfo::clear() {
    ::SysFreeString(e_.bstrSource);
    ::SysFreeString(e_.bstrDescription);
    ::SysFreeString(e_.bstrHelpFile);
    e_ = EXCEPINFO{};
}

namespace {

void waitPainting(std::chrono::milliseconds interval) {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(interval.count());
    for (ULONGLONG now = ::GetTickCount64(); now < end; now = ::GetTickCount64()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_PAINT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT))
            ::DispatchMessageW(&msg);
    }
}

}  // namespace

// A busy Outlook (starting, or refusing calls) is a wait like any other:
// the thread's watcher hears of it once and is asked before each new try,
// so Escape or a close stops it between two refusals.
HRESULT retryWhileBusy(const CallRetry* retry, const std::function<HRESULT()>& call) {
    const ULONGLONG start = ::GetTickCount64();
    bool announced = false;
    for (;;) {
        const HRESULT hr = call();
        if (!isBusy(hr) || !retry || !retry->enabled ||
            ::GetTickCount64() - start >= static_cast<ULONGLONG>(retry->limit.count()))
            return hr;
        WaitWatcher* watcher = currentWaitWatcher();
        if (watcher && !std::exchange(announced, true)) watcher->waiting();
        if (watcher && watcher->stopWaiting()) return kHrCallCanceled;
        waitPainting(retry->interval);
    }
}

DISPID idOf(IDispatch* object, std::wstring_view name, const CallRetry* retry) {
    const std::wstring member(name);
    if (!object) raise(E_POINTER, member + L": no object");
    LPOLESTR names[] = {const_cast<LPOLESTR>(member.c_str())};
    DISPID id = DISPID_UNKNOWN;
    check(retryWhileBusy(
              retry,
              [&] { return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); }),
          member);
    return id;
}

Variant invokeId(IDispatch* object, DISPID id, std::wstring_view name, WORD flags, Variant* args,
                 unsigned count, const CallRetry* retry) {
    const std::wstring member(name);
    if (!object) raise(E_POINTER, member + L": no object");
    // DISPPARAMS takes the arguments right to left.
    std::vector<VARIANT> reversed(count);
    for (unsigned i = 0; i < count; ++i) reversed[count - 1 - i] = *args[i].get();
    DISPPARAMS params{reversed.data(), nullptr, count, 0};

    Variant result;
    ExcepInfo error;
    UINT badArg = 0;
    const HRESULT hr = retryWhileBusy(retry, [&] {
        return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.put(),
                              error.get(), &badArg);
    });
    if (hr == DISP_E_EXCEPTION) raise(error.code(), member + L": " + error.description());
    check(hr, member);
    return result;
}

Variant invokeArgs(IDispatch* object, std::wstring_view name, WORD flags, Variant* args,
                   unsigned count, const CallRetry* retry) {
    return invokeId(object, idOf(object, name, retry), name, flags, args, count, retry);
}

}  // namespace pelorin::outlook::com
