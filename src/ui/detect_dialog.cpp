// The detection dialog: names the detected chipset and asks whether to install
// its driver or to choose another one from the list.
#include "core/program_state.h"
#include "res/resource.h"
#include "settings/driver_table.h"
#include "settings/text_keys.h"
#include "settings/texts.h"
#include "ui/dialogs.h"

// Localizes the texts, centres the dialog and sets up the radio buttons.
static void OnInitDialog(HWND dialog)
{
    // The template is system-modal; leave the topmost band all the same.
    SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    LocalizeCaption(dialog, kKeyDlgDetect);
    LocalizeDlgItem(dialog, IDC_WELCOME, kKeyWelcome);
    LocalizeDlgItem(dialog, IDC_CHIP_ON_BOARD, kKeyChipOnBoard);
    LocalizeDlgItem(dialog, IDC_ASK_INSTALL, kKeyAskInstall);
    LocalizeDlgItem(dialog, IDC_INSTALL_YES, kKeyInstallYes);
    LocalizeDlgItem(dialog, IDC_INSTALL_NO, kKeyInstallNo);
    LocalizeDlgItem(dialog, IDOK, kKeyOk);
    LocalizeDlgItem(dialog, IDCANCEL, kKeyExit);
    CenterWindow(dialog);

    int chosen;
    if (ProgramState.DetectedIndex < 0) {
        EnableWindow(GetDlgItem(dialog, IDC_INSTALL_YES), FALSE);
        chosen = IDC_INSTALL_NO;
    } else {
        // Chipset names come from the table, not from a text section.
        SetDlgItemTextA(dialog, IDC_CHIP_NAME, DriverTable.Rows[ProgramState.DetectedIndex].Name);
        chosen = IDC_INSTALL_YES;
    }
    CheckRadioButton(dialog, IDC_INSTALL_YES, IDC_INSTALL_NO, chosen);
}

// Ends the dialog on OK or Exit; OK records the first radio button's state.
static INT_PTR OnCommand(HWND dialog, WPARAM wParam)
{
    if (HIWORD(wParam) != 0)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        ProgramState.InstallDetected = IsDlgButtonChecked(dialog, IDC_INSTALL_YES) == BST_CHECKED;
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK DetectDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
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
