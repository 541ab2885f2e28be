// The main window's controls and commands, one row each: what it is, what
// locks it while the window is busy, and how it follows the window's size and
// dpi. The window's look (class, text, rectangle, style, font) is in
// app/main_window_layout_win.cpp under the same id; the toolkits build their
// controls from this table, so a new control needs no new toolkit method.
#pragma once
namespace pelorin::ui {

// What keeps the window busy. A control locked while the window is busy
// with one of these is greyed until it ends; a command (a key, a menu item,
// a drop) is refused.
enum class Busy : unsigned {
    None = 0,
    Attaching = 1u << 0,  // the attach run
    Adding = 1u << 1,     // Add File and Add Folder, pauses included
};
constexpr Busy operator|(Busy a, Busy b) {
    return static_cast<Busy>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool overlaps(Busy a, Busy b) {
    return (static_cast<unsigned>(a) & static_cast<unsigned>(b)) != 0;
}

// Ids start above IDOK/IDCANCEL, which the keyboard navigation sends. A key,
// menu item or drop that has no window gets an id here too: Win32 reports
// them all through the same command ids.
enum ControlId : int {
    kIdPstList = 100,
    kIdAddFile,
    kIdAttach,
    kIdClearList,
    kIdHiddenCompressionBox,
    kIdAddFolder,
    kIdSelectAll,
    kIdHelpLink,
    kIdWarning,
    kIdTotal,
    kIdTotalCaption,
    // The list's keys, its context menu and a drop onto it.
    kIdRemoveRows,    // Delete, the menu's Remove
    kIdCopyPaths,     // the menu's Copy path
    kIdOpenFolder,    // the menu's Open containing folder
    kIdHighlightAll,  // Ctrl+A
    kIdDropFiles,     // files dropped on the window
};

enum class ControlKind { ListView, Button, CheckBox, Label, Command /* no window */ };

// How a control follows a change of the window's size: which of its edges
// keep their distance to the client area's right or bottom edge (the others
// keep theirs to the left or top edge).
enum class Anchor {
    Fixed,        // top left: keeps its place and size
    Right,        // moves with the right edge
    Bottom,       // moves with the bottom edge
    BottomRight,  // moves with both
    Wide,         // grows with the width
    Grows,        // grows with the width and the height
};
// How a control's rectangle follows the window's dpi: Scale multiplies the
// 96-dpi rectangle by dpi / 96; None keeps it in pixels.
enum class DpiScaling { None, Scale };

struct ControlRow {
    ControlId id;
    ControlKind kind;
    Busy lockedWhile = Busy::None;
    bool enabledAtStart = true;
    Anchor anchor = Anchor::Fixed;
    DpiScaling dpi = DpiScaling::Scale;
};

// The attach run reads each row's tick when it reaches it, so the list and
// the rows' boxes stay usable; everything that changes the list or starts
// another run is locked. Add File and Add Folder lock nothing: a click on
// another button during their pauses is handled as it comes.
inline constexpr ControlRow kControlRows[] = {
    {kIdPstList, ControlKind::ListView, Busy::None, true, Anchor::Grows},
    {kIdAddFile, ControlKind::Button, Busy::Attaching, true, Anchor::Bottom},
    {kIdAttach, ControlKind::Button, Busy::Attaching, true, Anchor::BottomRight},
    {kIdClearList, ControlKind::Button, Busy::Attaching, true, Anchor::Bottom},
    // Just outside the client area at the design size; following the bottom
    // right corner keeps it there at every size.
    {kIdHiddenCompressionBox, ControlKind::CheckBox, Busy::None, true, Anchor::BottomRight},
    {kIdAddFolder, ControlKind::Button, Busy::Attaching, true, Anchor::Bottom},
    {kIdSelectAll, ControlKind::CheckBox, Busy::Attaching, false},
    {kIdHelpLink, ControlKind::Label, Busy::None, true, Anchor::Right},
    {kIdWarning, ControlKind::Label, Busy::None, true, Anchor::Wide},
    {kIdTotal, ControlKind::Label},
    {kIdTotalCaption, ControlKind::Label},
    // What changes the list waits until the window is no longer busy.
    {kIdRemoveRows, ControlKind::Command, Busy::Attaching | Busy::Adding},
    {kIdCopyPaths, ControlKind::Command, Busy::Attaching | Busy::Adding},
    {kIdOpenFolder, ControlKind::Command, Busy::Attaching | Busy::Adding},
    {kIdHighlightAll, ControlKind::Command, Busy::Attaching | Busy::Adding},
    {kIdDropFiles, ControlKind::Command, Busy::Attaching | Busy::Adding},
};

// The row of `id`; raises pelorin::Error(kErrInternal) for an id with none.
const ControlRow& controlRow(ControlId id);

// Whether the window refuses `id` while it is busy with `now`.
bool lockedNow(ControlId id, Busy now);

}  // namespace pelorin::ui
