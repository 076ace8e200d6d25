// A run of the program on a board: the probe answers from the board's
// device keys the way ENUM.DLL answers from the registry (the same key
// matching), and the program's own DetectChipset, IsDriverSupported and
// LaunchDriver decide; the folder change and the start of the setup program
// are recorded, not made.
#include <optional>

#include "core/fixed_texts.h"
#include "core/text.h"
#include "launch/launch.h"
#include "probe/detect.h"
#include "probe/device_probe.h"
#include "probe/version.h"
#include "program/program.h"
#include "readers/boards.h"
#include "settings/texts.h"

namespace {

// What the probe answers from, and what it was asked.
struct ProbeRecord {
    const std::vector<std::string>* Keys = nullptr;
    std::vector<std::pair<WORD, WORD>> Calls;
};
ProbeRecord Probe;

// What the launch did: the folder it made current, the command line it started.
struct LaunchRecord {
    std::optional<std::string> Folder;
    std::optional<std::string> Started;
};
LaunchRecord Launch;

// The program's folder in the what-if: the root of a CD in drive D:, as the
// program keeps its folder (no trailing backslash).
const char kCdFolder[] = "D:";

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string Shown(const char* key)
{
    char text[kTextSize];
    LookupText(key, text);
    return text;
}

// The early-build warning's text as start-up formats it with the build number.
std::string EarlyBuildText(int build)
{
    std::string format = Shown(kKeyWin95Check);
    if (!IsSingleIntegerFormat(format.c_str()))
        return format;
    char formatted[1025];
    wsprintfA(formatted, format.c_str(), build);
    return std::string(formatted).substr(0, kTextSize - 1);
}

std::vector<std::string> DialogsShown(const WindowsVersion& windows, int loadResult, int detected)
{
    std::vector<std::string> dialogs;
    if (windows.Minor < 10 && windows.Build < 1212)
        dialogs.push_back("the early-build warning " + Quoted(Shown(kKeyWin95CheckCaption)) + ": " +
                          Quoted(EarlyBuildText(static_cast<int>(windows.Build))) + ", Yes or No");
    char agpSwitch[kTextSize];
    LookupText(kKeyPciWarningDlg, agpSwitch);
    if (std::string(agpSwitch) != "0")
        dialogs.push_back("the AGP warning " + Quoted(Shown(kKeyAgpOnlyCaption)) + ": " +
                          Quoted(Shown(kKeyAgpOnly)) + ", Yes or No");
    if (loadResult < 0) {
        dialogs.push_back(std::string("the error box ") + Quoted(CAPTION_FILE_NOT_FOUND) + ": " +
                          Quoted(TEXT_CANNOT_OPEN_INITIAL_FILE) + ", and the program ends");
        return dialogs;
    }
    dialogs.push_back("the detection dialog " + Quoted(Shown(kKeyDlgDetect)) + " showing " +
                      Quoted(detected >= 0 ? DriverTable.Rows[detected].Name : TEXT_UNKNOWN_CHIP) +
                      (detected >= 0 ? "" : ", with only the choice of another driver"));
    return dialogs;
}

// The program's own launch of the detected row, as the user's Install
// starts it, from the CD.
void WatchLaunch(int row, WhatIfResult* result)
{
    Launch = {};
    CopyText(ProgramState.ModuleFolder, kCdFolder, kPathSize);
    LaunchDriver(row);
    ProgramState.ModuleFolder[0] = '\0';
    result->Folder = Launch.Folder;
    result->Starts = Launch.Started;
}

}  // namespace

WhatIfResult RunProgram(const std::string& boardFile, const std::vector<std::string>& keys, int loadResult)
{
    WhatIfResult result;
    result.Board = boardFile;
    Probe.Keys = &keys;
    Probe.Calls.clear();
    // Start-up stops at a malformed row before it detects anything.
    if (loadResult >= 0)
        result.Detected = DetectChipset();
    result.Probes = Probe.Calls;
    result.Supported =
        result.Detected >= 0 && IsDriverSupported(DriverTable.Rows[result.Detected].SupportFlags) != 0;
    result.Dialogs = DialogsShown(ProgramWindows(), loadResult, result.Detected);
    if (result.Detected >= 0)
        WatchLaunch(result.Detected, &result);
    Probe.Keys = nullptr;
    return result;
}

bool TableNamesKey(const std::string& key)
{
    for (int i = 0; i < DriverTable.Count; ++i) {
        const DriverEntry& row = DriverTable.Rows[i];
        for (WORD device : row.DeviceCodes) {
            if (device != 0 && AnyKeyNamesDevice({key}, row.VendorCode, device))
                return true;
        }
    }
    return false;
}

extern "C" DWORD WINAPI ProbeDevice(DWORD vendorCode, DWORD deviceCode, char*)
{
    Probe.Calls.push_back({static_cast<WORD>(vendorCode), static_cast<WORD>(deviceCode)});
    return AnyKeyNamesDevice(*Probe.Keys, vendorCode, deviceCode) ? 1 : 0;
}

// The launch's calls, recorded. A refused driver's box is shown to no one;
// the setup program counts as started, as WinExec answers above 31.
BOOL SetCurrentDirectoryA(LPCSTR folder)
{
    Launch.Folder = folder;
    return TRUE;
}

UINT WinExec(LPCSTR command, UINT)
{
    Launch.Started = command;
    return 32;
}

int MessageBoxA(HWND, LPCSTR, LPCSTR, UINT)
{
    return IDOK;
}
