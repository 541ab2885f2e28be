/* A DLL that lies only beside the test program, for the DLL search tests:
   loading it by its bare name shows whether the program's folder is searched. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
