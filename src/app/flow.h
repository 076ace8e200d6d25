// The installation flow that the hidden main window drives.
#pragma once

#include <windows.h>

// Posted to the main window to offer a restart from a fresh dispatch.
#define WM_ASK_RESTART (WM_USER + 0x413)

// WM_USER: the detection dialog, the selection dialog and the launch.
void RunInstallationFlow();

// WM_ASK_RESTART: the restart dialog, and the restart on OK.
void RunRestartStep();
