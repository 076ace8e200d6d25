// The process entry point. The program links no C runtime (Windows 95 has no
// msvcrt.dll to load), so this does the little start-up work it needs itself.
#include <windows.h>

#include "core/command_line.h"

extern "C" void WINAPI Entry()
{
    LPSTR tail = const_cast<LPSTR>(CommandLineTail(GetCommandLineA()));
    ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, tail, SW_SHOWDEFAULT)));
}
