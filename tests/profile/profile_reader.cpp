// Reads a corpus INI file with GetPrivateProfileStringA, one query per line of
// a query file ("section|key|buffer size"), and prints each answer with its
// bytes escaped. Built for Windows it uses the real function; built natively,
// the unit tests' stand-in: the two outputs must be identical.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static void PrintEscaped(const char* text)
{
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (*p < 0x20 || *p >= 0x7F || *p == '\\' || *p == '[' || *p == ']')
            printf("\\x%02X", *p);
        else
            putchar(*p);
    }
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: profile_reader FILE.INI QUERIES\n");
        return 2;
    }
    FILE* queries = fopen(argv[2], "r");
    if (queries == nullptr) {
        fprintf(stderr, "profile_reader: cannot open %s\n", argv[2]);
        return 2;
    }
    char line[512];
    while (fgets(line, sizeof line, queries) != nullptr) {
        line[strcspn(line, "\r\n")] = '\0';
        char* section = strtok(line, "|");
        char* key = strtok(nullptr, "|");
        char* size = strtok(nullptr, "|");
        if (section == nullptr || key == nullptr || size == nullptr)
            continue;
        char value[1024];
        memset(value, 0, sizeof value);
        DWORD length = GetPrivateProfileStringA(section, key, "<default>", value,
                                                static_cast<DWORD>(atoi(size)), argv[1]);
        printf("%s|%s|%s => %u [", section, key, size, static_cast<unsigned>(length));
        PrintEscaped(value);
        printf("]\n");
    }
    fclose(queries);
    return 0;
}
