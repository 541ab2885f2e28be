// The attach run. It opens Outlook once, reads the profile's file stores,
// and takes the ticked rows top to bottom through the attach step; the run
// stops at the first failure. While it runs, the buttons that change the
// list or start another run are disabled; single rows stay tickable, and
// each row's tick is read when the run reaches it.
#include "pstlist/attach_run.h"

#include <array>
#include <optional>

#include "outlook/failure_text.h"
#include "outlook/session.h"
#include "pst/attach_step.h"

namespace pelorin::pstlist {

namespace {
constexpr wchar_t kNoneSelected[] = L"No PST files selected for adding to Outlook.";
constexpr wchar_t kAllAdded[] = L"All PST files are successfully added to Outlook.";
constexpr wchar_t kFailed[] =
    L"Error opening PST file, please check if PST file is corrupt or password protected.";
constexpr int kStatusColumn = 2;

bool runActive = false;

// Disables the controls that would change the list or start another run,
// and gives each its own state back however the run ends.
class RunLock {
public:
    explicit RunLock(ui::Toolkit& ui) : ui_(ui), selectAllWas_(ui.selectAll().enabled()) {
        runActive = true;
        for (size_t i = 0; i < buttons_.size(); ++i) {
            was_[i] = buttons_[i]->enabled();
            buttons_[i]->setEnabled(false);
        }
        ui.selectAll().setEnabled(false);
    }
    ~RunLock() {
        for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->setEnabled(was_[i]);
        ui_.selectAll().setEnabled(selectAllWas_);
        runActive = false;
    }
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

private:
    ui::Toolkit& ui_;
    std::array<ui::Button*, 4> buttons_{&ui_.addFileButton(), &ui_.addFolderButton(),
                                        &ui_.clearListButton(), &ui_.attachButton()};
    std::array<bool, 4> was_{};
    bool selectAllWas_;
};

struct RowFailure {
    std::wstring path;
    Error error;
};

// Rows are only ever inserted at the top, so the run keeps its place by
// counting from the bottom: rows added during a pause shift nothing it has
// still to do, and a row that vanished makes the lookup fail.
std::optional<RowFailure> attachRows(ui::Toolkit& ui, scan::FileSystem& files,
                                     outlook::OutlookSession& outlook) {
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
        try {
            const auto outcome = pst::attachFile(files, outlook, profile, path);
            list.setSubItem(row, kStatusColumn,
                            outcome == pst::AttachOutcome::Added ? kStatusDone : kStatusAlreadyIn);
        } catch (const Error& e) {
            list.setSubItem(row, kStatusColumn, kStatusFailedPrefix + outlook::shortReason(e));
            return RowFailure{path, e};
        }
    }
    return std::nullopt;
}

void runAttach(ui::Toolkit& ui, outlook::Automation& automation, scan::FileSystem& files) {
    ui.doEvents();  // kPauseBeforeOutlook
    if (ui.closeRequested()) return;
    std::optional<outlook::OutlookSession> outlook;
    try {
        outlook.emplace(automation);
    } catch (const outlook::ConnectError& e) {
        ui.dialogs().messageBox(outlook::connectFailureText(e), ui::Icon::Critical);
        return;
    }
    std::optional<RowFailure> failure;
    try {
        failure = attachRows(ui, files, *outlook);
    } catch (const Error& e) {
        failure = RowFailure{L"", e};
    }
    if (ui.closeRequested()) return;  // the session releases Outlook on the way out
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
    if (runActive) return;
    // Only the Select All box opens the way: rows ticked one by one while it
    // is unticked (or greyed) do not count.
    if (ui.pstList().count() == 0 || ui.selectAll().value() != 1) {
        ui.dialogs().messageBox(kNoneSelected, ui::Icon::Critical);
        return;
    }
    RunLock lock(ui);
    runAttach(ui, automation, files);
}

}  // namespace pelorin::pstlist
