// The Win32 stand-in's calls. The private profile reader follows the rules of
// GetPrivateProfileStringA: case-insensitive section and key names, blanks
// around a value dropped, one pair of enclosing quotes removed, the result
// cut to the buffer; the first of duplicate sections and keys wins.
#include "standin.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <strings.h>

StandIn Win;

void ResetStandIn()
{
    Win = StandIn();
}

static DWORD CopyOut(const std::string& value, LPSTR buffer, DWORD size)
{
    if (size == 0)
        return 0;
    size_t length = value.size() < size - 1 ? value.size() : size - 1;
    memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size)
{
    // Like Windows XP: a name that does not fit is cut, and the size returned.
    const std::string& name = Win.ModuleFileName;
    if (name.size() >= size) {
        memcpy(buffer, name.data(), size);
        return size;
    }
    return CopyOut(name, buffer, size);
}

DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size)
{
    bool found = Win.HasCountry && strcasecmp(section, "Intl") == 0 && strcasecmp(key, "iCountry") == 0;
    return CopyOut(found ? Win.Country : fallback, buffer, size);
}

static std::string Trim(const std::string& text)
{
    const char* blanks = " \t\r";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

static std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

// Finds key in section; false when either is missing.
static bool FindValue(std::string path, LPCSTR section, LPCSTR key, std::string* value)
{
    for (char& c : path)
        c = c == '\\' ? '/' : c;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    bool inSection = false;
    bool sectionSeen = false;
    while (std::getline(file, line)) {
        line = Trim(line);
        if (!line.empty() && line[0] == '[') {
            size_t end = line.find(']');
            std::string name = Trim(line.substr(1, end == std::string::npos ? std::string::npos : end - 1));
            bool match = strcasecmp(name.c_str(), section) == 0;
            // Only the first section of a name is read.
            inSection = match && !sectionSeen;
            sectionSeen = sectionSeen || match;
            continue;
        }
        if (!inSection || line.empty() || line[0] == ';')
            continue;
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        if (strcasecmp(Trim(line.substr(0, equals)).c_str(), key) == 0) {
            *value = Unquote(Trim(line.substr(equals + 1)));
            return true;
        }
    }
    return false;
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                               DWORD size, LPCSTR file)
{
    Win.ProfileKeysRead.push_back(std::string(section) + "/" + key);
    std::string value;
    if (!FindValue(file, section, key, &value))
        value = fallback;
    return CopyOut(value, buffer, size);
}

BOOL GetVersionExA(OSVERSIONINFOA* version)
{
    if (Win.VersionFails)
        return FALSE;
    DWORD size = version->dwOSVersionInfoSize;
    *version = Win.Version;
    version->dwOSVersionInfoSize = size;
    return TRUE;
}

BOOL IsDBCSLeadByte(BYTE c)
{
    return Win.ShiftJisLeadBytes && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    // wsprintfA writes at most 1024 bytes.
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(buffer, 1025, format, arguments);
    va_end(arguments);
    return length;
}

BOOL SetCurrentDirectoryA(LPCSTR folder)
{
    Win.Folders.push_back(folder);
    return TRUE;
}

UINT WinExec(LPCSTR command, UINT)
{
    Win.Commands.push_back(command);
    return Win.WinExecResult;
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT flags)
{
    Win.MessageBoxes.push_back({text, caption, flags});
    return 1;
}

extern "C" DWORD WINAPI ProbeDevice(DWORD vendor, DWORD device, char* buffer)
{
    Win.Probes.push_back({vendor, device});
    buffer[0] = 'x';
    return Win.PresentDevices.count({static_cast<WORD>(vendor), static_cast<WORD>(device)}) ? 1 : 0;
}
