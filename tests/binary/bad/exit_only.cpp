// The smallest freestanding program: carries the resource section of the
// dialog and bitmap checks' failing cases.
#include <windows.h>

extern "C" void __stdcall Entry()
{
    ExitProcess(0);
}
