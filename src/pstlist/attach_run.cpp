// The attach run. It opens Outlook once, reads the profile's file stores,
// and takes the ticked rows top to bottom through the attach step; the run
// stops at the first failure. While it runs, the window is busy attaching
// (ui/controls.h says what that locks); single rows stay tickable, and each
// row's tick is read when the run reaches it.
#include "pstlist/attach_run.h"

#include <optional>

#include "outlook/call_wait.h"
#include "outlook/failure_text.h"
#include "outlook/session.h"
#include "pst/attach_step.h"
#include "ui/busy_lock.h"

namespace pelorin::pstlist {

namespace {
constexpr wchar_t kNoneSelected[] = L"No PST files selected for adding to Outlook.";
constexpr wchar_t kAllAdded[] = L"All PST files are successfully added to Outlook.";
constexpr wchar_t kFailed[] =
    L"Error opening PST file, please check if PST file is corrupt or password protected.";
constexpr ui::Column kStatusColumn = ui::Column::Status;

struct RowFailure {
    std::wstring path;
    Error error;
    bool stoppedWaiting = false;  // the user stopped the wait: not a failure
};

// The run's waits on Outlook: the row being attached says so, and Escape or
// a close stops the wait. Once stopped, every later wait of the run (the
// release of Outlook's objects on the way out) stops at once.
class RunWait final : public outlook::WaitWatcher {
public:
    explicit RunWait(ui::Toolkit& ui) : ui_(ui) {}
    void setRow(int fromBottom) { fromBottom_ = fromBottom; }
    void waiting() override {
        auto& list = ui_.pstList();
        if (fromBottom_ >= 0)
            list.setSubItem(list.count() - fromBottom_, kStatusColumn, kStatusWaiting);
    }
    bool stopWaiting() override { return stopped_ = stopped_ || ui_.stopWaitAsked(); }

private:
    ui::Toolkit& ui_;
    int fromBottom_ = -1;  // none
    bool stopped_ = false;
};

// Rows are only ever inserted at the top, so the run keeps its place by
// counting from the bottom: rows added during a pause shift nothing it has
// still to do, and a row that vanished makes the lookup fail.
std::optional<RowFailure> attachRows(ui::Toolkit& ui, scan::FileSystem& files,
                                     outlook::OutlookSession& outlook, RunWait& wait) {
    pst::ProfileFiles profile(outlook.storePathsOrNone());
    auto& list = ui.pstList();
    for (int fromBottom = list.count() - 1; fromBottom >= 0; --fromBottom) {
        ui.doEvents();  // pauseBeforeRow(n)
        if (ui.closeRequested()) return std::nullopt;
        const int row = list.count() - fromBottom;
        if (!list.checked(row)) {
            list.setSubItem(row, kStatusColumn, L"");
            continue;
        }
        // The path goes over exactly as the row holds it.
        const std::wstring path = list.text(row);
        wait.setRow(fromBottom);
        try {
            const auto outcome = pst::attachFile(files, outlook, profile, path);
            list.setSubItem(row, kStatusColumn,
                            outcome == pst::AttachOutcome::Added ? kStatusDone : kStatusAlreadyIn);
        } catch (const Error& e) {
            const bool stopped = outlook::isStoppedWait(e);
            list.setSubItem(
                row, kStatusColumn,
                stopped ? kStatusStoppedWaiting : kStatusFailedPrefix + outlook::shortReason(e));
            return RowFailure{path, e, stopped};
        }
    }
    return std::nullopt;
}

void runAttach(ui::Toolkit& ui, outlook::Automation& automation, scan::FileSystem& files) {
    ui.doEvents();  // kPauseBeforeOutlook
    if (ui.closeRequested()) return;
    RunWait wait(ui);
    const outlook::WatchWaits watching(wait);  // until Outlook's objects are released
    std::optional<outlook::OutlookSession> outlook;
    try {
        outlook.emplace(automation);
    } catch (const outlook::ConnectError& e) {
        // A wait the user stopped while Outlook started is no failure either.
        if (!ui.closeRequested() && !outlook::isStoppedWait(e))
            ui.dialogs().messageBox(outlook::connectFailureText(e), ui::Icon::Critical);
        return;
    }
    std::optional<RowFailure> failure;
    try {
        failure = attachRows(ui, files, *outlook, wait);
    } catch (const Error& e) {
        failure = RowFailure{L"", e};
    }
    // The session releases Outlook on the way out; a stopped wait has its
    // row's status and no message.
    if (ui.closeRequested() || (failure && failure->stoppedWaiting)) return;
    if (!failure) {
        outlook.reset();
        ui.dialogs().messageBox(kAllAdded, ui::Icon::Information);
        return;
    }
    // The objects still held are released once the box has been closed.
    std::wstring text = std::wstring(kFailed) + L"\n\n";
    if (!failure->path.empty()) text += failure->path + L"\n";
    ui.dialogs().messageBox(text + outlook::describeWithCode(failure->error), ui::Icon::Critical);
}

}  // namespace

void attachTickedRows(ui::Toolkit& ui, outlook::Automation& automation, scan::FileSystem& files) {
    if (ui::overlaps(ui.busyWith(), ui::Busy::Attaching)) return;
    // Only the Select All box opens the way: rows ticked one by one while it
    // is unticked (or greyed) do not count.
    if (ui.pstList().count() == 0 || ui.selectAll().value() != 1) {
        ui.dialogs().messageBox(kNoneSelected, ui::Icon::Critical);
        return;
    }
    // The controls that would change the list or start another run are
    // greyed, each given its own state back however the run ends.
    const ui::BusyLock lock(ui, ui::Busy::Attaching);
    runAttach(ui, automation, files);
}

}  // namespace pelorin::pstlist
