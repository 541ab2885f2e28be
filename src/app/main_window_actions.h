// The main window's event handlers, wired once: every click of the main
// window lands in one of these members, which hand on to the PST list, the
// add operations and the attach run. The same object serves the real window
// and the tests.
#pragma once
#include <functional>
#include <string>

#include "app/version.h"
#include "outlook/automation.h"
#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::app {

class MainWindowActions {
public:
    MainWindowActions(ui::Toolkit& ui, scan::FileSystemFactory fileSystems,
                      outlook::Automation& automation,
                      std::function<void(const std::wstring&)> openWebPage);

    void onAddFile();       // Add File
    void onAddFolder();     // Add Folder
    void onAddToOutlook();  // Add PSTs to Outlook
    void onClearList();     // Clear List
    void onSelectAll();     // Select All
    void onHelpLink();      // the help link label

private:
    ui::Toolkit& ui_;
    scan::FileSystemFactory fileSystems_;
    outlook::Automation& automation_;
    std::function<void(const std::wstring&)> openWebPage_;
};

}  // namespace pelorin::app
