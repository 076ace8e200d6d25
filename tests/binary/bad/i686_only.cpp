// A freestanding program that carries, beside its entry point, one
// instruction of each kind the instruction check must reject: the Pentium
// Pro's FPU conditional moves and flag-setting compares, its fast system
// call, and instructions on MMX and SSE registers. The block is never
// executed; the check only disassembles it.
#include <windows.h>

asm(".text\n"
    "I686Only:\n"
    "    fcmovb %st(1), %st\n"
    "    fcomi %st(1), %st\n"
    "    fucomip %st(1), %st\n"
    "    sysenter\n"
    "    movd %eax, %mm0\n"
    "    movaps %xmm1, %xmm0\n");

extern "C" void __stdcall Entry()
{
    ExitProcess(0);
}
