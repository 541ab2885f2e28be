#include "app/main_window_actions.h"

#include "pstlist/attach_run.h"
#include "pstlist/add_files.h"
#include "pstlist/add_folder.h"
#include "pstlist/pst_list.h"

namespace pelorin::app {

MainWindowActions::MainWindowActions(ui::Toolkit& ui, scan::FileSystemFactory fileSystems,
                                     outlook::Automation& automation,
                                     std::function<void(const std::wstring&)> openWebPage)
    : ui_(ui),
      fileSystems_(std::move(fileSystems)),
      automation_(automation),
      openWebPage_(std::move(openWebPage)) {}

void MainWindowActions::onAddFile() {
    auto fs = fileSystems_();
    pstlist::addFiles(ui_, *fs);
}

void MainWindowActions::onAddFolder() {
    // Each click picks its own folder; nothing reads it after the click.
    std::wstring folder;
    pstlist::addFolder(ui_, fileSystems_, folder);
}

void MainWindowActions::onAddToOutlook() {
    auto fs = fileSystems_();
    pstlist::attachTickedRows(ui_, automation_, *fs);
}

void MainWindowActions::onClearList() { pstlist::clearList(ui_); }

void MainWindowActions::onSelectAll() { pstlist::applySelectAll(ui_); }

void MainWindowActions::onHelpLink() {
    if (openWebPage_) openWebPage_(kHelpUrl);
}

}  // namespace pelorin::app
