// The classic folder picker's callback, as SHBrowseForFolderW calls it: at
// BFFM_INITIALIZED it selects the start folder; at BFFM_VALIDATEFAILEDW (a
// typed path that names no folder) it says so in a message box over the
// picker and answers 1, which keeps the picker open. Declared here so that
// tests can call it as Windows would where the platform's picker never does
// (Wine's takes the tree's selection and ignores the path box).
#pragma once
#include <windows.h>

#include <string>

namespace pelorin::shell::detail {

struct ClassicState {
    const std::wstring& startIn;  // empty: the picker's own start
};

// `data` points to a ClassicState.
int CALLBACK classicCallback(HWND dialog, UINT message, LPARAM param, LPARAM data);

}  // namespace pelorin::shell::detail
