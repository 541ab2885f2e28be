// The attach run: every ticked row becomes a store of Outlook's profile,
// marked "Done" (or "Already in Outlook" when the profile had it); the run
// stops at the first failure, which its row and the message explain.
#pragma once
#include "outlook/automation.h"
#include "scan/filesystem.h"
#include "ui/toolkit.h"

namespace pelorin::pstlist {

inline constexpr wchar_t kStatusDone[] = L"Done";
inline constexpr wchar_t kStatusAlreadyIn[] = L"Already in Outlook";
inline constexpr wchar_t kStatusFailedPrefix[] = L"Failed: ";
// While AddStore waits on something Outlook shows; Escape or a close stops
// the wait, and the run ends there.
inline constexpr wchar_t kStatusWaiting[] = L"Waiting for Outlook";
inline constexpr wchar_t kStatusStoppedWaiting[] = L"Stopped waiting; Outlook may still add it";

// The run's pauses (its doEvents() calls), numbered from 1 as they come:
// once before Outlook is contacted, then once before each row.
inline constexpr int kPauseBeforeOutlook = 1;
constexpr int pauseBeforeRow(int row) { return kPauseBeforeOutlook + row; }

// The click on the attach button. A click while a run is active (a double
// click) does nothing.
void attachTickedRows(ui::Toolkit& ui, outlook::Automation& automation, scan::FileSystem& files);

}  // namespace pelorin::pstlist
