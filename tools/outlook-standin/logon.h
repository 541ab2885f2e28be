// The one MAPI session of the server, as Outlook keeps it: opened by Logon,
// or with the default profile by the first other use of the namespace. Once
// open it stays on its profile whatever Logon is told later, and so does the
// session of an Outlook the user started (settings.h: profiles).
#pragma once
#include <string>

#include "dispatch.h"

namespace standin {

// DefaultProfileName: the first profile.
std::wstring defaultProfileName();

// Logon(Profile, Password, ShowDialog, NewSession), every argument
// optional; a profile that does not exist is refused.
HRESULT logon(const Args& args);

// CurrentProfileName; the session is opened with the default profile when
// none is open yet.
std::wstring sessionProfile();

}  // namespace standin
