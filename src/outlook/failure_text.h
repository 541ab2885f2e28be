// The words a user reads when Outlook refuses: a short reason for one file
// (a row's status, a command line's report), and the text for Outlook not
// being reachable at all. Portable: HRESULTs in, text out.
#pragma once
#include <cstdint>
#include <string>

#include "base/error.h"

namespace pelorin::outlook {

// HRESULTs the texts tell apart (named here so portable code needs no Windows headers).
inline constexpr std::int32_t kHrClassString =
    static_cast<std::int32_t>(0x800401F3);  // CO_E_CLASSSTRING
inline constexpr std::int32_t kHrClassNotRegistered = static_cast<std::int32_t>(0x80040154);
inline constexpr std::int32_t kHrServerExecFailure = static_cast<std::int32_t>(0x80080005);
inline constexpr std::int32_t kHrAccessDenied = static_cast<std::int32_t>(0x80070005);
inline constexpr std::int32_t kHrGenericAccessDenied = static_cast<std::int32_t>(0x80000009);
inline constexpr std::int32_t kHrCallRejected = static_cast<std::int32_t>(0x80010001);
inline constexpr std::int32_t kHrRetryLater = static_cast<std::int32_t>(0x8001010A);
inline constexpr std::int32_t kHrFileNotFound = static_cast<std::int32_t>(0x80070002);
inline constexpr std::int32_t kHrPathNotFound = static_cast<std::int32_t>(0x80070003);
inline constexpr std::int32_t kHrSharingViolation = static_cast<std::int32_t>(0x80070020);
inline constexpr std::int32_t kHrLockViolation = static_cast<std::int32_t>(0x80070021);
inline constexpr std::int32_t kHrCallCanceled =
    static_cast<std::int32_t>(0x80010002);  // RPC_E_CALL_CANCELED: the wait was stopped
inline constexpr std::int32_t kHrNotPst =
    static_cast<std::int32_t>(0x8004011B);  // MAPI_E_CORRUPT_DATA

inline constexpr wchar_t kNotInstalled[] =
    L"Outlook (classic) is not installed on this computer. The new Outlook cannot add PST files.";
inline constexpr wchar_t kUnreachable[] =
    L"Outlook could not be reached. If Outlook or Pelorin runs as administrator, run both the same "
    L"way.";
inline constexpr wchar_t kCannotStart[] = L"Outlook could not be started.";

// An HRESULT as Windows writes it: "0x80004005".
std::wstring hresultText(std::int32_t hresult);

bool isBusy(std::int32_t hresult);

// The program stopped waiting for the call (outlook/call_wait.h); Outlook
// may still carry it out, so it is neither a failure nor a success.
bool isStoppedWait(const Error& error);
inline constexpr wchar_t kStoppedWaiting[] = L"stopped waiting; Outlook may still add it";

// "file not found", "not a PST file", "read-only", "in use", "Outlook is
// busy", kStoppedWaiting, or Outlook's own description.
std::wstring shortReason(const Error& error);

// The whole text for a failed connection: one of the three sentences above;
// for "could not be started", Outlook's description and the HRESULT follow
// (after "Outlook is busy: " when it kept refusing the calls).
std::wstring connectFailureText(const Error& error);

// Outlook's own description (without the member's name the call helper
// puts first) and the HRESULT in hex: "… (0x80004005)".
std::wstring describeWithCode(const Error& error);

}  // namespace pelorin::outlook
