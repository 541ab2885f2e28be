// How a test or the demo sets the stand-in up: small files beside its
// profile, read when the server starts.
//   busy-start-ms   for this many milliseconds after the server starts it
//                   refuses calls on its objects, as a starting Outlook does
//   fail-addstore   lines "text<TAB>0xHRESULT<TAB>description": AddStore of
//                   a path containing the text fails so
//   block-addstore-ms  every AddStore (after its line in calls.log) blocks
//                   this long before it does its work, as Outlook does while
//                   it shows a password prompt or a repair question
//   profile-lock-ms how long a change of the profile waits for another
//                   stand-in process that holds it (30000 when unset)
//   ignore-addstore lines "text": AddStore of a path containing the text
//                   answers success and adds nothing
//   no-profile      present: the user has no Outlook profile yet, as at a
//                   first logon. DefaultProfileName is empty and GetNamespace
//                   opens the profile wizard, which waits for the user
//   profiles        lines "NAME" or "NAME<TAB>running": the user's Outlook
//                   profiles, the first the default one. The one marked
//                   running is open in an Outlook the user started, whose
//                   session Logon leaves as it is. Absent: one profile,
//                   "Outlook", and Outlook not running
//   count-calls     present: the server appends one line to it when it
//                   ends, "GetIDsOfNames N Invoke N Next N", the calls it
//                   answered (Next: of a store enumerator)
//   calls.log       written by the server: one line per AddStore, AddStoreEx
//                   and RemoveStore, with the path
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace standin {

std::wstring besideProfile(const std::wstring& name);

void startBusyClock();  // at server start: reads busy-start-ms
bool busyNow();

// Throws the configured Refusal when `path` matches a line of fail-addstore.
void applyInjectedFailure(const std::wstring& path);

// Milliseconds from the settings above (0 or `otherwise` when unset).
DWORD blockAddStoreMs();
DWORD profileLockMs();
// Whether `path` matches a line of ignore-addstore.
bool addStoreIgnored(const std::wstring& path);
// Whether no-profile is present.
bool profileMissing();

struct ProfileEntry {
    std::wstring name;
    bool running = false;
};
// The lines of `profiles`; none when it is absent.
std::vector<ProfileEntry> profileEntries();

void logCall(const std::wstring& line);
// At the server's end: its call counts into count-calls, when present.
void writeCallCounts();

}  // namespace standin
