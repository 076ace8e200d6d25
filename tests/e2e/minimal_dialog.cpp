// The yardstick for PYXET.EXE's start-up time: a program that does nothing
// but show one dialog, built by the same rules (no C runtime, its own entry
// point, subsystem 4.0), and ends with the button that closes it.
#include <windows.h>

static INT_PTR CALLBACK MinimalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

extern "C" void WINAPI Entry()
{
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), nullptr,
                                     MinimalDialogProc, 0);
    ExitProcess(static_cast<UINT>(result));
}
