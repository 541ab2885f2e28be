// Helpers around the Windows shell. The folder picker never fails towards
// its caller (any failure is an empty result); the web-page opener is
// fire-and-forget.
#pragma once
#include <optional>
#include <string>

namespace pelorin::shell {

// Modern: the folder dialog of Windows Vista and later (IFileOpenDialog
// picking folders), which falls back to Classic where the system lacks it.
// Classic: the folder tree with a path box; a typed path that names no
// folder is refused and the picker stays open.
enum class FolderDialogKind { Modern, Classic };

// Shows a folder picker owned by `owner` (a window handle) with `title` (the
// modern dialog's caption, the text above the classic one's tree),
// file-system folders only, opened at `startIn` when it names a folder.
// Returns the chosen folder's full path as the shell spells it (any length,
// no trailing "\" added), or an empty text on cancel, on a choice without a
// file-system path and on any error.
std::wstring browseFolder(void* owner, const std::wstring& title, const std::wstring& startIn = {},
                          FolderDialogKind kind = FolderDialogKind::Modern);

// browseFolder that opens at the last folder it returned (kept in memory
// only, for this run of the program).
class FolderPicker {
public:
    explicit FolderPicker(FolderDialogKind kind = FolderDialogKind::Modern) : kind_(kind) {}
    std::wstring pick(void* owner, const std::wstring& title);

private:
    FolderDialogKind kind_;
    std::wstring last_;
};

// Opens `url` with the shell's "open" verb (the default browser for a web
// address). An empty text does nothing; the outcome is not looked at.
void openWebPage(const std::wstring& url);

// Opens the folder holding `path` in the shell's file browser with the file
// selected. Fire-and-forget, like openWebPage.
void showInFolder(const std::wstring& path);

namespace detail {
// The classic picker, which selects `preselect` once it is open and then
// presses OK (for driving the picker in tests); an empty `preselect` is the
// plain classic picker, opened at `startIn`.
std::wstring browseFolderSelecting(void* owner, const std::wstring& title,
                                   const std::wstring& preselect, const std::wstring& startIn = {});
// The modern dialog alone; nullopt where the system does not offer it.
std::optional<std::wstring> browseFolderModern(void* owner, const std::wstring& title,
                                               const std::wstring& startIn);
}  // namespace detail

}  // namespace pelorin::shell
