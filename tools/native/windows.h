// The few Win32 types and calls that the program's portable sources use, so
// that they compile natively: for the unit tests, whose stand-in answers the
// calls (tests/unit/standin), and for pyxet-check. The profile reader and
// wsprintfA are implemented beside this header for both.
#pragma once

#include <cstdint>

typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int BOOL;
typedef unsigned int UINT;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;

#define WINAPI
#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2
#define MB_OK 0x00
#define MB_YESNO 0x04
#define MB_ICONERROR 0x10
#define MB_ICONQUESTION 0x20
#define MB_ICONWARNING 0x30
#define IDOK 1
#define IDYES 6
#define IDNO 7
#define SW_HIDE 0
#define SW_SHOW 5

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
};

// The program's records hold these types; their sizes must be those of Win32.
static_assert(sizeof(DWORD) == 4 && sizeof(WORD) == 2, "Win32 integer sizes");
static_assert(sizeof(OSVERSIONINFOA) == 148, "the size GetVersionExA expects");

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size);
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                               DWORD size, LPCSTR file);
BOOL GetVersionExA(OSVERSIONINFOA* version);
BOOL IsDBCSLeadByte(BYTE byte);
int wsprintfA(LPSTR buffer, LPCSTR format, ...) __attribute__((format(printf, 2, 3)));
BOOL SetCurrentDirectoryA(LPCSTR folder);
UINT WinExec(LPCSTR command, UINT show);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);
