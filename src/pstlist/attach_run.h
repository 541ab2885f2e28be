// The attach run: every ticked row becomes a store of Outlook's profile,
// marked "Done" (or "Already in Outlook" when the profile had it); the run
// stops at the first failure, which its row and the message explain.
#pragma once
#include <string>

#include "outlook/automation.h"
#include "pstlist/row_reasons.h"
#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::pstlist {

inline constexpr wchar_t kStatusDone[] = L"Done";
inline constexpr wchar_t kStatusAlreadyIn[] = L"Already in Outlook";
inline constexpr wchar_t kStatusFailedPrefix[] = L"Failed: ";
// While Outlook starts or a call waits on it (busy, or showing something);
// Escape or a close stops the wait, and the run ends there.
inline constexpr wchar_t kStatusWaiting[] = L"Waiting for Outlook\u2026";
inline constexpr wchar_t kStatusStoppedWaiting[] = L"Stopped waiting; Outlook may still add it";
inline constexpr wchar_t kStatusAttaching[] = L"Adding to Outlook\u2026";  // while the row is sent
inline constexpr wchar_t kStatusNotTried[] = L"Not tried";  // ticked, but the run stopped first

// What one run did with the rows it reached or stopped before.
struct RunCounts {
    int attached = 0;
    int alreadyIn = 0;
    int failed = 0;
    int notTried = 0;
    int unticked = 0;
};
// "3 attached, 2 already in Outlook, 1 failed, 4 not tried, 1 not ticked."
// (the attached count always, the others when not zero).
std::wstring countsText(const RunCounts& counts);
// The box at the end of a run without failure: the plain "all added" text
// only when every row the run reached was ticked and attached now.
std::wstring closingText(const RunCounts& counts);

// The run's pauses (its doEvents() calls), numbered from 1 as they come:
// once before Outlook is contacted, then once before each row.
inline constexpr int kPauseBeforeOutlook = 1;
constexpr int pauseBeforeRow(int row) { return kPauseBeforeOutlook + row; }

// The click on the attach button. A click while a run is active (a double
// click) does nothing. The failed row's whole reason goes into `reasons`.
void attachTickedRows(ui::Toolkit& ui, outlook::Automation& automation, scan::FileSystem& files,
                      RowReasons& reasons);

}  // namespace pelorin::pstlist
