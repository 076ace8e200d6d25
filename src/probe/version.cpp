// Windows version probe and support rule.
#include "probe/version.h"

#include "core/program_state.h"

int QueryWindowsVersion()
{
    OSVERSIONINFOA* version = &ProgramState.Version;
    version->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(version))
        return -2;
    if (version->dwPlatformId != VER_PLATFORM_WIN32_WINDOWS)
        return -1;
    return static_cast<int>(version->dwBuildNumber & 0xFFFF);
}

int IsDriverSupported(WORD flags)
{
    const OSVERSIONINFOA& version = ProgramState.Version;
    if (version.dwMajorVersion < 4)
        return 0;
    if (version.dwMinorVersion < 10)
        return flags & 1;
    return (flags >> 1) & 1;
}
