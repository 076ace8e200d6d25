// Controls of the Win32 stand-in: what the calls answer and what they saw.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

struct MessageBoxCall {
    std::string Text;
    std::string Caption;
    UINT Flags;
};

struct StandIn {
    std::string ModuleFileName;
    // The system profile: "Intl"/"iCountry" is all the program reads.
    bool HasCountry = true;
    std::string Country = "1";
    bool VersionFails = false;
    OSVERSIONINFOA Version = {148, 4, 10, 2222, VER_PLATFORM_WIN32_WINDOWS, ""};
    bool ShiftJisLeadBytes = false;
    UINT WinExecResult = 33;
    std::set<std::pair<WORD, WORD>> PresentDevices;

    std::vector<std::string> Folders;            // SetCurrentDirectoryA
    std::vector<std::string> Commands;           // WinExec
    std::vector<MessageBoxCall> MessageBoxes;    // MessageBoxA
    std::vector<std::pair<DWORD, DWORD>> Probes; // the device probe
    std::vector<std::string> ProfileKeysRead;    // "section/key" of private profile reads
};

extern StandIn Win;

// Resets the stand-in to the values above.
void ResetStandIn();
