// The product's strings and version numbers, in one place: the resource
// script, the program and the scripts (which read the #define lines with
// sed, so each stays one line: #define NAME "text") all take them from here.
#pragma once

#define PELORIN_VERSION_MAJOR 3
#define PELORIN_VERSION_MINOR 0
#define PELORIN_VERSION_BUILD 0
#define PELORIN_VERSION_REVISION 0
#define PELORIN_VERSION_TEXT "3.00"
#define PELORIN_PRODUCT_NAME "Pelorin"
#define PELORIN_FILE_DESCRIPTION "Add Multiple PST files in Outlook"
#define PELORIN_COMPANY_NAME "Quennet"
#define PELORIN_COPYRIGHT "Copyright (C) Quennet"
#define PELORIN_EXE_NAME "pelorin.exe"
// The main window's caption; the message boxes carry the product name.
#define PELORIN_CAPTION "Quennet Pelorin v3.0 - www.quennet.com"
#define PELORIN_HELP_URL "https://www.quennet.com/help/pst-read-only-attribute.html"

#ifndef RC_INVOKED
#define PELORIN_WIDE_(text) L##text
#define PELORIN_WIDE(text) PELORIN_WIDE_(text)

namespace pelorin::app {

inline constexpr wchar_t kAppTitle[] = PELORIN_WIDE(PELORIN_PRODUCT_NAME);
inline constexpr wchar_t kCaption[] = PELORIN_WIDE(PELORIN_CAPTION);
inline constexpr wchar_t kHelpUrl[] = PELORIN_WIDE(PELORIN_HELP_URL);
inline constexpr wchar_t kExeName[] = PELORIN_WIDE(PELORIN_EXE_NAME);

}  // namespace pelorin::app
#endif
