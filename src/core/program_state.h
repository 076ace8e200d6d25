// The program-wide state record: everything the program knows while it runs.
// It is static, filled during start-up and by the dialogs, and never freed.
#pragma once

#include <windows.h>

enum {
    kTextSize = 256,    // every looked-up text: at most 255 characters
    kPathSize = 128,    // every path: at most 127 characters
    kCountrySize = 20,  // the country code read from the system profile
    kMaxDrivers = 20,   // rows of the driver table
};

struct ProgramStateRecord {
    HINSTANCE Instance;
    HWND MainWindow;
    char ModuleFolder[kPathSize];  // without a trailing backslash; empty when unusable
    char SettingsPath[kPathSize];  // built on first use; empty while unbuilt or unusable
    char CountryCode[kCountrySize];
    int RestartOnExit;
    OSVERSIONINFOA Version;
    int DetectedIndex;  // row found by the detection, -1 for none
    int ChosenIndex;    // row chosen in the selection dialog, -1 for none
    int InstallDetected;
    int ListPositions[kMaxDrivers];
};

extern ProgramStateRecord ProgramState;
