// The smallest freestanding program: carries a resource section for the
// dialog check's failing case.
#include <windows.h>

extern "C" void __stdcall Entry()
{
    ExitProcess(0);
}
