// The selection dialog: a drop-down list of every row of the driver table.
#include "core/program_state.h"
#include "res/resource.h"
#include "settings/driver_table.h"
#include "settings/text_keys.h"
#include "settings/texts.h"
#include "ui/dialogs.h"

// Localizes the texts, centres the dialog, fills the list and preselects the
// detected row (or the first one).
static void OnInitDialog(HWND dialog)
{
    LocalizeCaption(dialog, kKeyDlgSelect);
    LocalizeDlgItem(dialog, IDC_SELECT_ONE, kKeySelectOne);
    LocalizeDlgItem(dialog, IDOK, kKeyInstall);
    LocalizeDlgItem(dialog, IDCANCEL, kKeyExit);
    CenterWindow(dialog);

    HWND list = GetDlgItem(dialog, IDC_DRIVER_LIST);
    for (int i = 0; i < DriverTable.Count; ++i) {
        LPARAM name = reinterpret_cast<LPARAM>(DriverTable.Rows[i].Name);
        ProgramState.ListPositions[i] = static_cast<int>(SendMessageA(list, CB_ADDSTRING, 0, name));
    }
    int detected = ProgramState.DetectedIndex;
    WPARAM position = detected >= 0 ? ProgramState.ListPositions[detected] : 0;
    SendMessageA(list, CB_SETCURSEL, position, 0);
}

// Ends the dialog on Install or Exit; Install records the list's selection,
// which is a row index because the list is not sorted.
static INT_PTR OnCommand(HWND dialog, WPARAM wParam)
{
    if (HIWORD(wParam) != 0)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        ProgramState.ChosenIndex =
            static_cast<int>(SendDlgItemMessageA(dialog, IDC_DRIVER_LIST, CB_GETCURSEL, 0, 0));
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK SelectDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    }
    return FALSE;
}
