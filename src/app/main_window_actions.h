// The main window's event handlers, wired once: every click (and every key,
// menu item or drop given an id in ui::kControlRows) lands in run(), which
// looks the id up in the command table and calls one of these members; they
// hand on to the PST list, the add operations and the attach run. The same
// object serves the real window and the tests.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/version.h"
#include "outlook/automation.h"
#include "pstlist/row_reasons.h"
#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::app {

class MainWindowActions {
public:
    MainWindowActions(ui::Toolkit& ui, scan::FileSystemFactory fileSystems,
                      outlook::Automation& automation,
                      std::function<void(const std::wstring&)> openWebPage,
                      std::function<void(const std::wstring&)> showInFolder = {});

    // Runs the handler of `id` unless the window is busy in a way that locks
    // it (ui::kControlRows); false when nothing ran.
    bool run(ui::ControlId id);

    void onAddFile();       // Add File
    void onAddFolder();     // Add Folder
    void onAddToOutlook();  // Add PSTs to Outlook
    void onClearList();     // Clear List
    void onSelectAll();     // Select All
    void onHelpLink();      // the help link label
    void onRemoveRows();    // Delete, the menu's Remove: the highlighted rows go
    void onCopyPaths();     // Copy path: the highlighted rows' paths, one a line
    void onOpenFolder();    // Open containing folder: of the first highlighted row
    void onHighlightAll();  // Ctrl+A

    // Files and folders dropped onto the window; false (nothing added) while
    // the window is busy.
    bool addDropped(const std::vector<std::wstring>& paths);

    // The tooltip text of the 1-based row: its path, and its status or a
    // failed row's whole reason.
    std::wstring tipFor(int row) const;

private:
    ui::Toolkit& ui_;
    scan::FileSystemFactory fileSystems_;
    outlook::Automation& automation_;
    std::function<void(const std::wstring&)> openWebPage_;
    std::function<void(const std::wstring&)> showInFolder_;  // the shell, in the program
    pstlist::RowReasons reasons_;                            // the failed rows' whole reasons
};

}  // namespace pelorin::app
