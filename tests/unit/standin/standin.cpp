// The Win32 stand-in's calls: settable answers and records of the calls. The
// private profile reads go to the native profile reader (tools/native), which
// reads real files and which tests/profile compares with the real one under
// Wine; wsprintfA comes from there too.
#include "standin.h"

#include <cstring>
#include <string_view>
#include <strings.h>

#include "probe/device_probe.h"
#include "profile_reader.h"

StandIn Win;

void ResetStandIn()
{
    Win = StandIn();
}

static bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size)
{
    // Like Windows XP: a name that does not fit is cut to size characters,
    // without a NUL, and size is returned.
    const std::string& name = Win.ModuleFileName;
    if (name.size() >= size) {
        memcpy(buffer, name.data(), size);
        return size;
    }
    return CopyCut(name, buffer, size);
}

DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size)
{
    // Wine keeps the "Intl" values of the system profile in the registry, so
    // they come back as stored: cut to the buffer, quotes kept.
    for (const auto& [name, value] : Win.SystemProfile) {
        if (SameName(name, std::string(section) + "/" + key))
            return CopyCut(value, buffer, size);
    }
    return CopyCut(fallback, buffer, size);
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                               DWORD size, LPCSTR file)
{
    // The tests' program folders are host folders; the reader turns the
    // backslashes that the path helpers add into the host's separators.
    DWORD length = ReadPrivateProfileString(section, key, fallback, buffer, size, file);
    Win.ProfileKeysRead.push_back(std::string(section) + "/" + key);
    return length;
}

// ---- Settable answers and recorded calls --------------------------------

BOOL GetVersionExA(OSVERSIONINFOA* version)
{
    // The real call accepts only the sizes of its two records.
    DWORD size = version->dwOSVersionInfoSize;
    if (Win.VersionFails || (size != 148 && size != 156))
        return FALSE;
    *version = Win.Version;
    version->dwOSVersionInfoSize = size;
    return TRUE;
}

BOOL IsDBCSLeadByte(BYTE c)
{
    return Win.ShiftJisLeadBytes && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}

BOOL SetCurrentDirectoryA(LPCSTR folder)
{
    Win.Folders.push_back(folder);
    Win.CallOrder.push_back("SetCurrentDirectoryA");
    return TRUE;
}

UINT WinExec(LPCSTR command, UINT show)
{
    Win.Started.push_back({command, show});
    Win.CallOrder.push_back("WinExec");
    return Win.WinExecResult;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)
{
    Win.MessageBoxes.push_back({owner, text, caption, flags});
    Win.CallOrder.push_back("MessageBoxA");
    return Win.MessageBoxAnswer;
}

extern "C" DWORD WINAPI ProbeDevice(DWORD vendor, DWORD device, char* buffer)
{
    Win.Probes.push_back({vendor, device});
    Win.ProbeBuffers.insert(buffer);
    // The real probe may fill its buffer; filling all of it shows that the
    // program's buffer is as large as promised.
    memset(buffer, 'x', kProbeBufferSize);
    return Win.PresentDevices.count({static_cast<WORD>(vendor), static_cast<WORD>(device)}) ? 1 : 0;
}
