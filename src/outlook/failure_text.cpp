#include "outlook/failure_text.h"

#include <cstdio>
#include <cwctype>

namespace pelorin::outlook {

namespace {

bool contains(const std::wstring& text, const wchar_t* part) {
    return text.find(part) != std::wstring::npos;
}

// The call helper puts the member's name first ("AddStore: ..."); what a
// user reads is Outlook's own words only.
std::wstring withoutMember(const std::wstring& text) {
    const size_t colon = text.find(L": ");
    if (colon == std::wstring::npos || colon == 0) return text;
    for (size_t i = 0; i < colon; ++i)
        if (!std::iswalnum(static_cast<wint_t>(text[i])) && text[i] != L'_') return text;
    return text.substr(colon + 2);
}

}  // namespace

std::wstring hresultText(std::int32_t hresult) {
    wchar_t number[16];
    std::swprintf(number, 16, L"0x%08lX",
                  static_cast<unsigned long>(static_cast<std::uint32_t>(hresult)));
    return number;
}

bool isBusy(std::int32_t hresult) { return hresult == kHrCallRejected || hresult == kHrRetryLater; }

bool isStoppedWait(const Error& error) { return error.hresult() == kHrCallCanceled; }

std::wstring shortReason(const Error& error) {
    const std::int32_t hr = error.hresult();
    if (isBusy(hr)) return L"Outlook is busy";
    if (isStoppedWait(error)) return kStoppedWaiting;
    if (error.number() == kErrFileNotFound || hr == kHrFileNotFound || hr == kHrPathNotFound)
        return L"file not found";
    if (hr == kHrAccessDenied || hr == kHrGenericAccessDenied) return L"read-only";
    if (hr == kHrSharingViolation || hr == kHrLockViolation) return L"in use";
    if (hr == kHrNotPst || contains(error.description(), L"not a personal folders file"))
        return L"not a PST file";
    return withoutMember(error.description());
}

std::wstring describeWithCode(const Error& error) {
    const std::wstring description = withoutMember(error.description());
    const std::wstring code = hresultText(error.hresult());
    if (error.hresult() == 0 || contains(description, code.c_str())) return description;
    return description + L" (" + code + L")";
}

std::wstring connectFailureText(const Error& error) {
    const std::int32_t hr = error.hresult();
    if (hr == kHrClassString || hr == kHrClassNotRegistered) return kNotInstalled;
    if (hr == kHrServerExecFailure || hr == kHrAccessDenied || hr == kHrGenericAccessDenied)
        return kUnreachable;
    const std::wstring busy = isBusy(hr) ? L"Outlook is busy: " : L"";
    return std::wstring(kCannotStart) + L"\n\n" + busy + describeWithCode(error);
}

}  // namespace pelorin::outlook
