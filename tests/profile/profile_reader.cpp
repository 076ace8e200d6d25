// Reads a corpus INI file with GetPrivateProfileStringA, one query per line of
// a query file, and prints each answer with its bytes escaped. Built for
// Windows it uses the real function; built natively, the native profile
// reader of tools/native: the two outputs must be identical.
//
//   profile_reader FILE.INI QUERIES
//
// A query line is "section|key|buffer size", optionally followed by
// "|default" (otherwise the default is "<default>"); fields may be empty.
// Lines starting with '#' are comments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define ReadPrivateProfileString GetPrivateProfileStringA
#else
#include "profile_reader.h"
#endif

enum {
    kGuardSize = 64,  // bytes past the buffer size that must stay untouched
    kFill = 0xA5,
};

static void PrintEscaped(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c >= 0x7F || c == '\\' || c == '[' || c == ']')
            printf("\\x%02X", c);
        else
            putchar(c);
    }
}

// Splits line at '|' into at most count fields, keeping empty ones; the last
// field keeps any further bars. Returns the number of fields found.
static int SplitFields(char* line, char** fields, int count)
{
    int found = 0;
    for (char* field = line;;) {
        fields[found++] = field;
        char* bar = found < count ? strchr(field, '|') : nullptr;
        if (bar == nullptr)
            return found;
        *bar = '\0';
        field = bar + 1;
    }
}

// Runs one query and prints "section|key|size|default => result [text]";
// the text is what the buffer holds up to its NUL, and a missing NUL or a
// byte written past the buffer size is reported.
static void RunQuery(const char* file, const char* section, const char* key, DWORD size,
                     const char* fallback)
{
    char* buffer = static_cast<char*>(malloc(size + kGuardSize));
    memset(buffer, kFill, size + kGuardSize);
    DWORD result = ReadPrivateProfileString(section, key, fallback, buffer, size, file);
    printf("%s|%s|%u|%s => %u [", section, key, static_cast<unsigned>(size), fallback,
           static_cast<unsigned>(result));
    const char* end = static_cast<const char*>(memchr(buffer, '\0', size));
    if (end != nullptr)
        PrintEscaped(buffer, static_cast<size_t>(end - buffer));
    printf("]");
    if (end == nullptr)
        printf(" no NUL");
    for (DWORD i = size; i < size + kGuardSize; ++i) {
        if (static_cast<unsigned char>(buffer[i]) != kFill) {
            printf(" written past the buffer");
            break;
        }
    }
    printf("\n");
    free(buffer);
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: profile_reader FILE.INI QUERIES\n");
        return 2;
    }
#ifdef _WIN32
    // Byte-comparable output: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    FILE* queries = fopen(argv[2], "rb");
    if (queries == nullptr) {
        fprintf(stderr, "profile_reader: cannot open %s\n", argv[2]);
        return 2;
    }
    char line[1024];
    while (fgets(line, sizeof line, queries) != nullptr) {
        line[strcspn(line, "\r\n")] = '\0';
        char* fields[4];
        int count = SplitFields(line, fields, 4);
        if (line[0] == '#' || count < 3)
            continue;
        RunQuery(argv[1], fields[0], fields[1], static_cast<DWORD>(atoi(fields[2])),
                 count == 4 ? fields[3] : "<default>");
    }
    fclose(queries);
    return 0;
}
