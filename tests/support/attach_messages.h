// The attach run's messages as the user reads them. Spelled out here rather
// than taken from the program, so that a changed text fails the tests.
#pragma once

namespace pelorin::test {

inline constexpr wchar_t kNoneSelected[] = L"No PST files selected for adding to Outlook.";
inline constexpr wchar_t kAllAdded[] = L"All PST files are successfully added to Outlook.";
inline constexpr wchar_t kFailed[] =
    L"Error opening PST file, please check if PST file is corrupt or password protected.";

}  // namespace pelorin::test
