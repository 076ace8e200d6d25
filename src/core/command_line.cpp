// Command-line tail, computed as the C runtime's start-up code would.
#include "core/command_line.h"

#include <windows.h>

static int IsBlankOrControl(char c)
{
    unsigned char code = static_cast<unsigned char>(c);
    return code >= 0x01 && code <= 0x20;
}

const char* CommandLineTail(const char* commandLine)
{
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') {
            if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0')
                ++p;
            ++p;
        }
        if (*p == '"')
            ++p;
    } else {
        while (static_cast<unsigned char>(*p) > 0x20)
            ++p;
    }
    while (IsBlankOrControl(*p))
        ++p;
    return p;
}
