// Version numbers, shared by the resource script and the program.
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
