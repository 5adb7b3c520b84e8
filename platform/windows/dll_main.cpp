// The plug-in keeps no state, so its load and thread notifications have
// nothing to do.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
