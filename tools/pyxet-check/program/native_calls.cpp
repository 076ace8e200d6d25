// The Win32 calls that the program's portable sources make, answered
// natively for pyxet-check. The settings file is read by the native profile
// reader; the rest of what the program would ask Windows, the checker is
// told on its command line and writes into the program state itself.
#include <windows.h>

#include "profile_reader.h"
#include "readers/code_page.h"

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                               DWORD size, LPCSTR file)
{
    return ReadPrivateProfileString(section, key, fallback, buffer, size, file);
}

// The country code comes from --country.
DWORD GetProfileStringA(LPCSTR, LPCSTR, LPCSTR fallback, LPSTR buffer, DWORD size)
{
    return CopyCut(fallback, buffer, size);
}

// The settings file is named on the command line, not found beside a program.
DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size)
{
    return CopyCut("", buffer, size);
}

// The Windows version comes from --windows.
BOOL GetVersionExA(OSVERSIONINFOA*)
{
    return FALSE;
}

// As the code page that --codepage names has them; 1252 has no double-byte characters.
BOOL IsDBCSLeadByte(BYTE byte)
{
    return IsAnsiLeadByte(byte);
}
