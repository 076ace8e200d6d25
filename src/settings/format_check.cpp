// Check of a wsprintfA format that receives one integer.
#include "settings/format_check.h"

static int IsFlag(char c)
{
    return c == '-' || c == '0' || c == '#';
}

static int IsIntegerConversion(char c)
{
    return c == 'd' || c == 'i' || c == 'u' || c == 'x' || c == 'X';
}

int IsSingleIntegerFormat(const char* format)
{
    int conversions = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        while (IsFlag(*p))
            ++p;
        // The width is bounded so that the expansion stays well inside
        // wsprintfA's 1024-byte output limit.
        int width = 0;
        for (; *p >= '0' && *p <= '9'; ++p) {
            width = width * 10 + (*p - '0');
            if (width > 255)
                return 0;
        }
        if (!IsIntegerConversion(*p) || ++conversions > 1)
            return 0;
    }
    return 1;
}
