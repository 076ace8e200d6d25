// The restart dialog: waits minimized until no setup program's window is left,
// then asks whether to restart Windows. Its texts are the template's own.
#include "res/resource.h"
#include "ui/dialogs.h"

enum { kWaitPeriodMs = 500 };

// Leaves the topmost band, centres and shows the dialog minimized, and starts
// looking for setup windows.
static void OnInitDialog(HWND dialog)
{
    SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CenterWindow(dialog);
    ShowWindow(dialog, SW_SHOWMINIMIZED);
    SetTimer(dialog, IDT_WAIT_SETUP, kWaitPeriodMs, nullptr);
}

// Restores the dialog once no window titled "Setup" and none of the class
// "GLBSInstall" exists, hidden ones and the program's own included.
static void OnTimer(HWND dialog)
{
    if (FindWindowA(nullptr, "Setup") == nullptr && FindWindowA("GLBSInstall", nullptr) == nullptr) {
        ShowWindow(dialog, SW_RESTORE);
        KillTimer(dialog, IDT_WAIT_SETUP);
    }
}

// Ends the dialog on OK or Exit.
static INT_PTR OnCommand(HWND dialog, WPARAM wParam)
{
    if (HIWORD(wParam) != 0)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK RestartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return FALSE;
    case WM_TIMER:
        OnTimer(dialog);
        return FALSE;
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    }
    return FALSE;
}
