#include "cli/service_account_win.h"

#include <windows.h>

#include "base/handles_win.h"

namespace pelorin::cli {

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

}  // namespace pelorin::cli
