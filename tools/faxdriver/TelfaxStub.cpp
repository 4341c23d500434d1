// The fax printer driver's files in the test prefix: a library that does nothing.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, void*) { return TRUE; }
