// A freestanding program that imports GetTickCount64, which KERNEL32 gained
// only with Windows Vista; the import check must reject it.
#include <windows.h>

extern "C" void __stdcall Entry()
{
    ExitProcess(static_cast<UINT>(GetTickCount64()));
}
