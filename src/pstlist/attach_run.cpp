// The attach run. It opens Outlook once, reads the profile's file stores,
// and takes the ticked rows top to bottom through the attach step; the run
// stops at the first failure. While it runs, the window is busy attaching
// (ui/controls.h says what that locks); single rows stay tickable, and each
// row's tick is read when the run reaches it.
#include "pstlist/attach_run.h"

#include <algorithm>
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
    int fromBottom = -1;          // the failed row; -1 for a failure outside any row
};

// The run's waits on Outlook: the row being attached says so, and Escape or
// a close stops the wait. Once stopped, every later wait of the run (the
// release of Outlook's objects on the way out) stops at once.
class RunWait final : public outlook::WaitWatcher {
public:
    explicit RunWait(ui::Toolkit& ui) : ui_(ui) {}
    void setRow(int fromBottom) { fromBottom_ = fromBottom; }
    // A row that has its result, or a wait already stopped, keeps its status.
    void waiting() override {
        if (stopped_ || fromBottom_ < 0) return;
        auto& list = ui_.pstList();
        list.setSubItem(list.count() - fromBottom_, kStatusColumn, kStatusWaiting);
    }
    bool stopWaiting() override { return stopped_ = stopped_ || ui_.stopWaitAsked(); }

private:
    ui::Toolkit& ui_;
    int fromBottom_ = -1;  // none
    bool stopped_ = false;
};

// The taskbar button counts the ticked rows the run has finished; it shows
// the error colour after a failure, and nothing once the run is over.
class RunProgress {
public:
    RunProgress(ui::TaskbarProgress& bar, int total) : bar_(bar), total_(total) {
        bar_.setProgress(0, total_);
    }
    ~RunProgress() { bar_.clear(); }
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;
    // A row ticked during the run makes the total grow.
    void rowDone() {
        ++done_;
        bar_.setProgress(done_, std::max(done_, total_));
    }
    void failed() { bar_.setError(); }

private:
    ui::TaskbarProgress& bar_;
    int total_;
    int done_ = 0;
};

// Rows are only ever inserted at the top, so the run keeps its place by
// counting from the bottom: rows added during a pause shift nothing it has
// still to do, and a row that vanished makes the lookup fail.
int rowFromBottom(const ui::ListView& list, int fromBottom) { return list.count() - fromBottom; }

// The ticked rows from `fromBottom` down to the last one say the run did
// not reach them.
void markNotTried(ui::ListView& list, int fromBottom, RunCounts& counts) {
    for (; fromBottom >= 0; --fromBottom) {
        const int row = rowFromBottom(list, fromBottom);
        if (row < 1 || !list.checked(row)) continue;
        list.setSubItem(row, kStatusColumn, kStatusNotTried);
        ++counts.notTried;
    }
}

std::optional<RowFailure> attachRows(ui::Toolkit& ui, scan::FileSystem& files,
                                     outlook::OutlookSession& outlook, RunCounts& counts,
                                     RunWait& wait, RunProgress& progress) {
    pst::ProfileFiles profile(outlook.storePathsOrNone());
    auto& list = ui.pstList();
    for (int fromBottom = list.count() - 1; fromBottom >= 0; --fromBottom) {
        ui.doEvents();  // pauseBeforeRow(n)
        if (ui.closeRequested()) {
            markNotTried(list, fromBottom, counts);
            return std::nullopt;
        }
        const int row = rowFromBottom(list, fromBottom);
        if (!list.checked(row)) {
            list.setSubItem(row, kStatusColumn, L"");
            ++counts.unticked;
            continue;
        }
        // The path goes over exactly as the row holds it.
        const std::wstring path = list.text(row);
        list.setSubItem(row, kStatusColumn, kStatusAttaching);
        list.ensureVisible(row);
        wait.setRow(fromBottom);
        try {
            const auto outcome = pst::attachFile(files, outlook, profile, path);
            const bool added = outcome == pst::AttachOutcome::Added;
            list.setSubItem(row, kStatusColumn, added ? kStatusDone : kStatusAlreadyIn);
            ++(added ? counts.attached : counts.alreadyIn);
            progress.rowDone();
            wait.setRow(-1);
        } catch (const Error& e) {
            wait.setRow(-1);
            // A wait the user stopped is no failure: the file may still be
            // added by Outlook, and the next run's check settles it.
            if (outlook::isStoppedWait(e)) {
                list.setSubItem(row, kStatusColumn, kStatusStoppedWaiting);
                markNotTried(list, fromBottom - 1, counts);
                return RowFailure{path, e, true, fromBottom};
            }
            list.setSubItem(row, kStatusColumn, kStatusFailedPrefix + outlook::shortReason(e));
            progress.failed();
            ++counts.failed;
            markNotTried(list, fromBottom - 1, counts);
            return RowFailure{path, e, false, fromBottom};
        }
    }
    return std::nullopt;
}

int tickedRows(const ui::ListView& list) {
    int ticked = 0;
    for (int row = 1; row <= list.count(); ++row) ticked += list.checked(row) ? 1 : 0;
    return ticked;
}

int firstTickedFromBottom(const ui::ListView& list) {
    for (int row = 1; row <= list.count(); ++row)
        if (list.checked(row)) return list.count() - row;
    return -1;
}

// A new run's results are not mixed up with the last one's.
void clearTickedStatuses(ui::ListView& list) {
    for (int row = 1; row <= list.count(); ++row)
        if (list.checked(row)) list.setSubItem(row, kStatusColumn, L"");
}

void runAttach(ui::Toolkit& ui, outlook::Automation& automation, scan::FileSystem& files,
               RowReasons& reasons) {
    ui.doEvents();  // kPauseBeforeOutlook
    if (ui.closeRequested()) return;
    RunCounts counts;
    RunProgress progress(ui.taskbar(), tickedRows(ui.pstList()));  // cleared on the way out
    RunWait wait(ui);
    const outlook::WatchWaits watching(wait);  // until Outlook's objects are released
    std::optional<outlook::OutlookSession> outlook;
    // While Outlook starts, the first ticked row is the one waiting.
    wait.setRow(firstTickedFromBottom(ui.pstList()));
    try {
        outlook.emplace(automation);
    } catch (const outlook::ConnectError& e) {
        markNotTried(ui.pstList(), ui.pstList().count() - 1, counts);
        // A wait the user stopped while Outlook started is no failure either.
        if (ui.closeRequested() || outlook::isStoppedWait(e)) return;
        progress.failed();
        ui.dialogs().messageBox(outlook::connectFailureText(e), ui::Icon::Critical);
        return;
    }
    std::optional<RowFailure> failure;
    try {
        failure = attachRows(ui, files, *outlook, counts, wait, progress);
    } catch (const Error& e) {
        failure = RowFailure{L"", e};
        progress.failed();
    }
    // The row keeps the whole reason its status shortens.
    if (failure && !failure->stoppedWaiting && failure->fromBottom >= 0)
        reasons.set(ui.pstList(), rowFromBottom(ui.pstList(), failure->fromBottom),
                    outlook::describeWithCode(failure->error));
    // The session releases Outlook on the way out; a stopped wait has its
    // row's status and no message.
    if (ui.closeRequested() || (failure && failure->stoppedWaiting)) return;
    if (!failure) {
        outlook.reset();
        ui.dialogs().messageBox(closingText(counts), ui::Icon::Information);
        return;
    }
    // The objects still held are released once the box has been closed.
    std::wstring text = std::wstring(kFailed) + L"\n\n";
    if (!failure->path.empty()) text += failure->path + L"\n";
    text += outlook::describeWithCode(failure->error) + L"\n\n" + countsText(counts);
    ui.dialogs().messageBox(text, ui::Icon::Critical);
}

}  // namespace

std::wstring countsText(const RunCounts& counts) {
    std::wstring text = std::to_wstring(counts.attached) + L" attached";
    const std::pair<int, const wchar_t*> parts[] = {{counts.alreadyIn, L" already in Outlook"},
                                                    {counts.failed, L" failed"},
                                                    {counts.notTried, L" not tried"},
                                                    {counts.unticked, L" not ticked"}};
    for (const auto& [n, what] : parts)
        if (n > 0) text += L", " + std::to_wstring(n) + what;
    return text + L".";
}

std::wstring closingText(const RunCounts& counts) {
    const bool everyRowAttachedNow = counts.attached > 0 && counts.alreadyIn == 0 &&
                                     counts.failed == 0 && counts.notTried == 0 &&
                                     counts.unticked == 0;
    return everyRowAttachedNow ? std::wstring(kAllAdded) : countsText(counts);
}

void attachTickedRows(ui::Toolkit& ui, outlook::Automation& automation, scan::FileSystem& files,
                      RowReasons& reasons) {
    if (ui::overlaps(ui.busyWith(), ui::Busy::Attaching)) return;
    // Every ticked row counts, whether Select All is ticked or not; with
    // none, Outlook is not even started.
    if (tickedRows(ui.pstList()) == 0) {
        ui.dialogs().messageBox(kNoneSelected, ui::Icon::Critical);
        return;
    }
    // The controls that would change the list or start another run are
    // greyed, each given its own state back however the run ends.
    const ui::BusyLock lock(ui, ui::Busy::Attaching);
    clearTickedStatuses(ui.pstList());
    runAttach(ui, automation, files, reasons);
}

}  // namespace pelorin::pstlist
