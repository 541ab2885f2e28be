// The pauses (doEvents calls) of the scanner and the add operations, by
// name, as Harness::at and the counting pumps number them (from 1).
#pragma once

namespace pelorin::test {

// The scanner: one as the walk begins; per folder one when its subfolders
// are listed, two when its files are, one when it is done; one per folder
// queued (every folder but the root) and one per file recorded.
inline constexpr int kScanBeginPauses = 1;
inline constexpr int kScanPausesPerFolder = 4;
constexpr int scanPauses(int folders, int files) {
    return kScanBeginPauses + kScanPausesPerFolder * folders + (folders - 1) + files;
}

// Add File: before the dialog, then the first pause after it has closed
// (from there on the selection is this run's own).
inline constexpr int kAddFileBeforeDialog = 1;
inline constexpr int kAddFileDialogClosed = 2;
// Up to the first name of the selection, and per name that gets a row.
inline constexpr int kAddFilePausesBeforeNames = 5;
inline constexpr int kAddFilePausesPerName = 3;

}  // namespace pelorin::test
