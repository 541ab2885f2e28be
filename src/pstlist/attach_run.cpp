// The attach run. It opens Outlook once, hands every ticked row's path to the
// "MAPI" namespace's AddStore, marks the row "Done" once the call returned,
// and stops at the first failure with one message for every kind of failure.
#include "pstlist/attach_run.h"

#include <exception>
#include <memory>

namespace pelorin::pstlist {

namespace {
constexpr wchar_t kNoneSelected[] = L"No PST files selected for adding to Outlook.";
constexpr wchar_t kAllAdded[] = L"All PST files are successfully added to Outlook.";
constexpr wchar_t kFailed[] =
    L"Error opening PST file, please check if PST file is corrupt or password protected.";
constexpr int kStatusColumn = 2;
}  // namespace

void attachTickedRows(ui::Toolkit& ui, outlook::Automation& automation) {
    // Only the Select All box opens the way: rows ticked one by one while it
    // is unticked (or greyed) do not count.
    if (ui.pstList().count() == 0 || ui.selectAll().value() != 1) {
        ui.dialogs().messageBox(kNoneSelected, ui::Icon::Critical);
        return;
    }
    attachRows(ui, automation);
}

void attachRows(ui::Toolkit& ui, outlook::Automation& automation) {
    ui.doEvents();

    // Declared namespace first so that, when the failure path returns, the
    // application is released before the namespace (locals die in reverse).
    std::unique_ptr<outlook::AutoObject> mapi;
    std::unique_ptr<outlook::AutoObject> application;
    try {
        application = automation.create(L"Outlook.Application");
        mapi = application->callObject(L"GetNamespace", L"MAPI");

        // The bound is read once: rows added during the run shift the rows
        // still to come, rows removed make a later lookup fail.
        auto& list = ui.pstList();
        const int rows = list.count();
        for (int i = 1; i <= rows; ++i) {
            ui.doEvents();
            if (list.checked(i)) {
                // The path goes over exactly as the row holds it.
                mapi->call(L"AddStore", list.text(i));
                list.setSubItem(i, kStatusColumn, L"Done");
            } else {
                list.setSubItem(i, kStatusColumn, L"");
            }
        }
        mapi.reset();
        application.reset();
    } catch (const std::exception&) {
        // One message serves every failure; the objects still held are
        // released once the box has been closed.
        ui.dialogs().messageBox(kFailed, ui::Icon::Critical);
        return;
    }
    ui.dialogs().messageBox(kAllAdded, ui::Icon::Information);
}

}  // namespace pelorin::pstlist
