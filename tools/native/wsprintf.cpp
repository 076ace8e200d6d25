// wsprintfA for the native builds of the portable sources.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

// Win32's own signature, which the portable sources call: a C-style variadic.
int wsprintfA(LPSTR buffer, LPCSTR format, ...)  // NOLINT(cert-dcl50-cpp)
{
    // wsprintfA writes at most 1024 bytes, its NUL included.
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(buffer, 1024, format, arguments);
    va_end(arguments);
    return std::min(length, 1023);
}
