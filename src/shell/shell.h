// Two stateless helpers around the Windows shell. The folder picker
// never fails towards its caller (any failure is an empty result); the
// web-page opener is fire-and-forget.
#pragma once
#include <string>

namespace pelorin::shell {

// Shows the shell's folder picker owned by `owner` (a window handle) with
// `title` above the tree, file-system folders only. Returns the chosen
// folder's full path as the shell spells it (any length, no trailing "\"
// added), or an empty text on cancel, on a choice without a file-system path
// and on any error.
std::wstring browseFolder(void* owner, const std::wstring& title);

// Opens `url` with the shell's "open" verb (the default browser for a web
// address). An empty text does nothing; the outcome is not looked at.
void openWebPage(const std::wstring& url);

// Opens the folder holding `path` in the shell's file browser with the file
// selected. Fire-and-forget, like openWebPage.
void showInFolder(const std::wstring& path);

namespace detail {
// browseFolder that selects `preselect` once the picker is open and then
// presses OK (for driving the picker in tests); an empty `preselect` is the
// plain picker with no callback at all.
std::wstring browseFolderSelecting(void* owner, const std::wstring& title,
                                   const std::wstring& preselect);
}  // namespace detail

}  // namespace pelorin::shell
