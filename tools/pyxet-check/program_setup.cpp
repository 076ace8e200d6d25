// The program state as start-up would leave it on the Windows and with the
// country code that the command line names.
#include "check.h"
#include "core/text.h"

// As Windows reports them: the first release of each, all of the 95/98 family.
static const WindowsVersion kWindowsVersions[] = {
    {"95", "Windows 95 (4.00 build 950)", 0, 950},
    {"98", "Windows 98 (4.10 build 2222)", 10, 2222},
    {"me", "Windows ME (4.90 build 3000)", 90, 3000},
};

const WindowsVersion* FindWindowsVersion(const std::string& name)
{
    for (const WindowsVersion& version : kWindowsVersions) {
        if (name == version.Name)
            return &version;
    }
    return nullptr;
}

void PrepareProgramState(const std::string& settingsFile, const WindowsVersion& windows,
                         const std::string& country)
{
    ProgramState.ModuleFolder[0] = '\0';
    CopyText(ProgramState.SettingsPath, settingsFile.c_str(), kPathSize);
    CopyText(ProgramState.CountryCode, country.c_str(), kCountrySize);
    OSVERSIONINFOA& version = ProgramState.Version;
    version = {};
    version.dwOSVersionInfoSize = sizeof version;
    version.dwMajorVersion = 4;
    version.dwMinorVersion = windows.Minor;
    version.dwBuildNumber = (4u << 24) | (windows.Minor << 16) | windows.Build;
    version.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    ProgramState.DetectedIndex = -1;
}
