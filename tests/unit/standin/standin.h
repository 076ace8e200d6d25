// Controls of the Win32 stand-in: what the calls answer and what they saw.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct MessageBoxCall {
    HWND Owner;
    std::string Text;
    std::string Caption;
    UINT Flags;
};

struct WinExecCall {
    std::string Command;
    UINT Show;
};

struct StandIn {
    std::string ModuleFileName;
    // The system profile by "section/key", compared without regard to case.
    std::map<std::string, std::string> SystemProfile = {{"Intl/iCountry", "1"}};
    bool VersionFails = false;
    OSVERSIONINFOA Version = {148, 4, 10, 0x040A08AE, VER_PLATFORM_WIN32_WINDOWS, ""};
    bool ShiftJisLeadBytes = false;
    UINT WinExecResult = 33;
    int MessageBoxAnswer = IDOK;
    std::set<std::pair<WORD, WORD>> PresentDevices;

    std::vector<std::string> Folders;            // SetCurrentDirectoryA
    std::vector<WinExecCall> Started;            // WinExec
    std::vector<MessageBoxCall> MessageBoxes;    // MessageBoxA
    std::vector<std::string> CallOrder;          // names of the three calls above, in order
    std::vector<std::pair<DWORD, DWORD>> Probes; // vendor and device code of each probe
    std::set<const char*> ProbeBuffers;          // the buffers handed to the probe
    std::vector<std::string> ProfileKeysRead;    // "section/key" of private profile reads
};

extern StandIn Win;

// Resets the stand-in to the values above.
void ResetStandIn();
