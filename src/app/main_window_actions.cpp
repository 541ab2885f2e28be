#include "app/main_window_actions.h"

#include "pstlist/attach_run.h"
#include "pstlist/add_files.h"
#include "pstlist/add_folder.h"
#include "pstlist/pst_list.h"
#include "ui/busy_lock.h"

namespace pelorin::app {

namespace {

// The command table: the handler of each id that has one.
struct Command {
    ui::ControlId id;
    void (MainWindowActions::*handler)();
};

constexpr Command kCommands[] = {
    {ui::kIdAddFile, &MainWindowActions::onAddFile},
    {ui::kIdAddFolder, &MainWindowActions::onAddFolder},
    {ui::kIdAttach, &MainWindowActions::onAddToOutlook},
    {ui::kIdClearList, &MainWindowActions::onClearList},
    {ui::kIdSelectAll, &MainWindowActions::onSelectAll},
    {ui::kIdHelpLink, &MainWindowActions::onHelpLink},
};

}  // namespace

MainWindowActions::MainWindowActions(ui::Toolkit& ui, scan::FileSystemFactory fileSystems,
                                     outlook::Automation& automation,
                                     std::function<void(const std::wstring&)> openWebPage)
    : ui_(ui),
      fileSystems_(std::move(fileSystems)),
      automation_(automation),
      openWebPage_(std::move(openWebPage)) {}

bool MainWindowActions::run(ui::ControlId id) {
    for (const Command& command : kCommands) {
        if (command.id != id) continue;
        if (ui::lockedNow(id, ui_.busyWith())) return false;
        (this->*command.handler)();
        return true;
    }
    return false;
}

void MainWindowActions::onAddFile() {
    const ui::BusyLock busy(ui_, ui::Busy::Adding);
    auto fs = fileSystems_();
    pstlist::addFiles(ui_, *fs);
}

void MainWindowActions::onAddFolder() {
    const ui::BusyLock busy(ui_, ui::Busy::Adding);
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
