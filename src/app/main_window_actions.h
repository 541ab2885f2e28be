// MainWindowActions's event handlers, wired once: every click of the main window lands in
// one of these members, which hand on to the PST list, the add operations and
// the attach run. The same object serves the real window and the tests.
#pragma once
#include <functional>
#include <string>

#include "outlook/automation.h"
#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::app {

inline constexpr wchar_t kAppTitle[] = L"Pelorin";
inline constexpr wchar_t kCaption[] = L"Quennet Pelorin v3.0 - www.quennet.com";
inline constexpr wchar_t kHelpUrl[] =
    L"https://www.quennet.com/help/pst-read-only-attribute.html";

class MainWindowActions {
public:
    MainWindowActions(ui::Toolkit& ui, scan::FileSystemFactory fileSystems, outlook::Automation& automation,
          std::function<void(const std::wstring&)> openWebPage);

    void onAddFile();      // Add File
    void onAddFolder();      // Add Folder
    void onAddToOutlook();      // Add PSTs to Outlook
    void onClearList();      // Clear List
    void onSelectAll();  // Select All
    void onHelpLink();

    const std::wstring& selectedFolder() const { return selectedFolder_; }

private:
    ui::Toolkit& ui_;
    scan::FileSystemFactory fileSystems_;
    outlook::Automation& automation_;
    std::function<void(const std::wstring&)> openWebPage_;
    std::wstring selectedFolder_;
};

}  // namespace pelorin::app
