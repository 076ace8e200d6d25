// The three modal dialogs and the helper that places them. Each ends with the
// id of the button pressed: 1 for OK or Install, 2 for Exit and Escape.
#pragma once

#include <windows.h>

// Centres window on the screen, shows it and brings it to the top.
void CenterWindow(HWND window);

INT_PTR CALLBACK DetectDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SelectDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RestartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
