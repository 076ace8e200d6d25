/* Built for the i686: GCC emits CMOV here, which must fail the instruction check. */
#include <windows.h>
static volatile int a = 1, b = 2;
void __stdcall Entry(void) { int x = a, y = b; ExitProcess((UINT)(x < y ? x : y)); }
