// The keys of the texts that each language's section of the settings file
// holds. The program, pyxet-check and the tests all take them from here.
#pragma once

constexpr char kKeyMainWinTitle[] = "MainWinTitle";
constexpr char kKeyWin95Check[] = "Win95Check";
constexpr char kKeyWin95CheckCaption[] = "Win95CheckCaption";
constexpr char kKeyPciWarningDlg[] = "PCIWarningDlg";
constexpr char kKeyAgpOnly[] = "AGPOnly";
constexpr char kKeyAgpOnlyCaption[] = "AGPOnlyCaption";
constexpr char kKeyDlgDetect[] = "DlgDetect";
constexpr char kKeyWelcome[] = "Welcome";
constexpr char kKeyChipOnBoard[] = "ChipOnBoard";
constexpr char kKeyAskInstall[] = "AskInstall";
constexpr char kKeyInstallYes[] = "InstallYes";
constexpr char kKeyInstallNo[] = "InstallNo";
constexpr char kKeyOk[] = "OK";
constexpr char kKeyExit[] = "Exit";
constexpr char kKeyDlgSelect[] = "DlgSelect";
constexpr char kKeySelectOne[] = "SelectOne";
constexpr char kKeyInstall[] = "Install";
constexpr char kKeyNotSupported[] = "NotSupported";
constexpr char kKeyNotSupportedMsg[] = "NotSupportedMsg";

// Every key above, in this order.
inline constexpr const char* kTextKeys[] = {
    kKeyMainWinTitle, kKeyWin95Check, kKeyWin95CheckCaption, kKeyPciWarningDlg, kKeyAgpOnly,
    kKeyAgpOnlyCaption, kKeyDlgDetect, kKeyWelcome, kKeyChipOnBoard, kKeyAskInstall,
    kKeyInstallYes, kKeyInstallNo, kKeyOk, kKeyExit, kKeyDlgSelect,
    kKeySelectOne, kKeyInstall, kKeyNotSupported, kKeyNotSupportedMsg,
};
