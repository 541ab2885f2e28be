// Resource identifiers, shared by the resource script and the program.
#pragma once

#define IDI_APP 1          // the application icon (four images, 30001-30004)
#define IDI_FOLDER 2       // the list's third image (30005-30006)
#define IDB_BANNER 101     // the banner picture, 600 x 71
#define IDB_LIST1 102      // the list's first image, 16 x 16 on silver
#define IDC_HAND_LINK 103  // the link label's pointing hand, hot spot (5, 0)
