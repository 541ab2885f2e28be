// Where the program looks for a DLL that is loaded by its bare name (by the
// dialogs, the folder picker, the web-page opener, COM activation): only in
// the system folder, never in the program's own folder or the current one,
// which is often the Downloads folder holding whatever else was downloaded.
#pragma once

namespace pelorin {

// Restricts the search to the system folder (SetDefaultDllDirectories with
// LOAD_LIBRARY_SEARCH_SYSTEM32, found at run time: Windows 7 without update
// KB2533623 lacks it) and takes the current folder out of it
// (SetDllDirectoryW(L"")). Called first thing by each program. Returns
// false when the system has no SetDefaultDllDirectories: then only the
// current folder is taken out.
bool restrictDllSearchToSystem();

}  // namespace pelorin
