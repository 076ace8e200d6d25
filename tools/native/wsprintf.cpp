// wsprintfA for the native builds of the portable sources.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

int wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    // wsprintfA writes at most 1024 bytes, its NUL included.
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(buffer, 1024, format, arguments);
    va_end(arguments);
    return std::min(length, 1023);
}
