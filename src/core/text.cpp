// Bounded text operations shared by every subsystem.
#include "core/text.h"

#include <windows.h>

int TextLength(const char* text)
{
    int length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

int CharacterLength(const char* text)
{
    return IsDBCSLeadByte(static_cast<BYTE>(text[0])) && text[1] != '\0' ? 2 : 1;
}

int CopyText(char* destination, const char* source, int size)
{
    int i = 0;
    while (source[i] != '\0') {
        // A lead byte and its trail byte travel together or not at all.
        int width = CharacterLength(source + i);
        if (i + width > size - 1)
            break;
        for (int k = 0; k < width; ++k, ++i)
            destination[i] = source[i];
    }
    destination[i] = '\0';
    return source[i] == '\0';
}

int TextsEqual(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

int AppendText(char* destination, const char* source, int size)
{
    int used = TextLength(destination);
    return CopyText(destination + used, source, size - used);
}
