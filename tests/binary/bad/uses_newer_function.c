/* Imports a function Windows 95 does not have: must fail the import check. */
#include <windows.h>
void __stdcall Entry(void) { ExitProcess((UINT)GetTickCount64()); }
