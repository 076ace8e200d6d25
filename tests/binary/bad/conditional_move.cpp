// A freestanding program compiled for the i686, where GCC turns the choice
// below into a CMOV; the instruction check must reject it.
#include <windows.h>

namespace {

volatile int first = 1;
volatile int second = 2;

int Smaller(int a, int b)
{
    return a < b ? a : b;
}

}  // namespace

extern "C" void __stdcall Entry()
{
    ExitProcess(static_cast<UINT>(Smaller(first, second)));
}
