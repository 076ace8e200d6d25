// The program as start-up would leave it on the Windows and with the country
// code that the command line names, and what the checker asks of its table
// and its texts.
#include "program/program.h"

#include <cstdio>
#include <cstring>

#include "core/text.h"
#include "settings/texts.h"

// As Windows reports them: every release of the 95/98 family. Without
// --build, Windows 95 and ME are their first release and Windows 98 its
// second edition, the build Wine reports.
static const WindowsVersion kWindowsVersions[] = {
    {"95", "Windows 95", 0, 950, true},
    {"95", "Windows 95", 0, 1111, false},
    {"95", "Windows 95", 0, 1212, false},
    {"95", "Windows 95", 0, 1214, false},
    {"98", "Windows 98", 10, 1998, false},
    {"98", "Windows 98", 10, 2222, true},
    {"me", "Windows ME", 90, 3000, true},
};

const WindowsVersion* FindWindowsVersion(const std::string& name, DWORD build)
{
    for (const WindowsVersion& version : kWindowsVersions) {
        bool named = name.empty() || name == version.Name;
        if (named && (build == 0 ? version.Default : build == version.Build))
            return &version;
    }
    return nullptr;
}

std::string WindowsTitle(const WindowsVersion& windows)
{
    char numbers[32];
    (void)std::snprintf(numbers, sizeof numbers, " (4.%02u build %u)", static_cast<unsigned>(windows.Minor),
                  static_cast<unsigned>(windows.Build));
    return windows.Product + std::string(numbers);
}

std::string KnownBuilds(const std::string& name)
{
    std::string list;
    const char* listed = nullptr;
    for (const WindowsVersion& version : kWindowsVersions) {
        if (!name.empty() && name != version.Name)
            continue;
        bool first = listed == nullptr || std::strcmp(listed, version.Name) != 0;
        if (listed != nullptr)
            list += first ? "; " : ", ";
        if (first && name.empty())
            list += version.Name + std::string(": ");
        list += std::to_string(version.Build);
        listed = version.Name;
    }
    return list;
}

namespace {
const WindowsVersion* startedOn = &kWindowsVersions[0];
}  // namespace

void StartProgram(const std::string& settingsFile, const WindowsVersion& windows, const std::string& country)
{
    startedOn = &windows;
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

const WindowsVersion& ProgramWindows()
{
    return *startedOn;
}

std::string SettingsFile()
{
    return ProgramState.SettingsPath;
}

int LoadTable()
{
    return LoadDriverTable();
}

int TableCount()
{
    return DriverTable.Count;
}

const DriverEntry& TableRow(int index)
{
    return DriverTable.Rows[index];
}

std::vector<DriverEntry> TableRows()
{
    return std::vector<DriverEntry>(DriverTable.Rows, DriverTable.Rows + DriverTable.Count);
}

std::string ReadSetting(const std::string& section, const std::string& key, size_t size)
{
    std::vector<char> buffer(size);
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                            static_cast<DWORD>(size), ProgramState.SettingsPath);
    return std::string(buffer.data(), length);
}

std::string ShownText(const std::string& country, const char* key)
{
    char saved[kCountrySize];
    CopyText(saved, ProgramState.CountryCode, kCountrySize);
    CopyText(ProgramState.CountryCode, country.c_str(), kCountrySize);
    char text[kTextSize];
    LookupText(key, text);
    CopyText(ProgramState.CountryCode, saved, kCountrySize);
    return text;
}

TrialRow::TrialRow(const DriverEntry& row)
{
    if (DriverTable.Count >= kMaxDrivers)
        return;
    DriverTable.Rows[DriverTable.Count++] = row;
    added_ = true;
}

TrialRow::~TrialRow()
{
    if (added_ && !kept_)
        --DriverTable.Count;
}
