#include "app/main_window_actions.h"

#include "pstlist/add_dropped.h"
#include "pstlist/attach_run.h"
#include "pstlist/add_files.h"
#include "pstlist/add_folder.h"
#include "pstlist/pst_list.h"
#include "ui/busy_lock.h"

namespace pelorin::app {

namespace {

constexpr wchar_t kClipboardBusy[] =
    L"The paths could not be copied: another program is using the clipboard.";

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
    {ui::kIdRemoveRows, &MainWindowActions::onRemoveRows},
    {ui::kIdCopyPaths, &MainWindowActions::onCopyPaths},
    {ui::kIdOpenFolder, &MainWindowActions::onOpenFolder},
    {ui::kIdHighlightAll, &MainWindowActions::onHighlightAll},
};

}  // namespace

MainWindowActions::MainWindowActions(ui::Toolkit& ui, scan::FileSystemFactory fileSystems,
                                     outlook::Automation& automation,
                                     std::function<void(const std::wstring&)> openWebPage,
                                     std::function<void(const std::wstring&)> showInFolder)
    : ui_(ui),
      fileSystems_(std::move(fileSystems)),
      automation_(automation),
      openWebPage_(std::move(openWebPage)),
      showInFolder_(std::move(showInFolder)) {}

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
    pstlist::attachTickedRows(ui_, automation_, *fs, reasons_);
}

void MainWindowActions::onClearList() { pstlist::clearList(ui_, reasons_); }

void MainWindowActions::onSelectAll() { pstlist::applySelectAll(ui_); }

void MainWindowActions::onHelpLink() {
    if (openWebPage_) openWebPage_(kHelpUrl);
}

void MainWindowActions::onRemoveRows() { pstlist::removeHighlightedRows(ui_, reasons_); }

void MainWindowActions::onCopyPaths() {
    const auto paths = pstlist::highlightedPaths(ui_.pstList());
    if (!paths.empty() && !ui_.copyText(pstlist::pathLines(paths)))
        ui_.dialogs().messageBox(kClipboardBusy, ui::Icon::Critical);
}

// One window, not one per row: the first highlighted row's file, shown
// selected in its folder.
void MainWindowActions::onOpenFolder() {
    const auto paths = pstlist::highlightedPaths(ui_.pstList());
    if (!paths.empty() && showInFolder_) showInFolder_(paths.front());
}

void MainWindowActions::onHighlightAll() { pstlist::highlightAll(ui_.pstList()); }

bool MainWindowActions::addDropped(const std::vector<std::wstring>& paths) {
    if (ui::lockedNow(ui::kIdDropFiles, ui_.busyWith())) return false;
    const ui::BusyLock busy(ui_, ui::Busy::Adding);
    pstlist::addDropped(ui_, fileSystems_, paths);
    return true;
}

std::wstring MainWindowActions::tipFor(int row) const {
    return pstlist::rowTip(ui_.pstList(), reasons_, row);
}

}  // namespace pelorin::app
