// The end-to-end scenarios. Each one starts PYXET.EXE from a folder of its
// own with its own Pyxet.ini, on the Windows version and with the country
// code it names, and goes through the program's boxes and dialogs as a user
// would. The table at the end names them, with the folder and the drive each
// runs from; CTest registers one test per row (tests/e2e/CMakeLists.txt
// reads the table).
#include "harness/scenarios.h"

#include "harness/timing.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The board of most scenarios carries an Intel 440BX host bridge, and the
// settings file has a row for it whose setup program needs no restart.
const char kBoard[] = "8086 7190";
const char kBoardChip[] = "Intel 440BX";
const char kBoardRow[] = "Intel 440BX,8086,7190,0,3,BX\\SETUP.EXE,0";

// Texts compiled into the dialog templates.
const char kUnknownChip[] = "Unknown (not in list)";
const char kRestartWelcome[] = "Welcome to Korvel QELMAP Driver Installation Program.";
const char kRestartQuestion[] = "Do you want to restart your computer now ?";

// The program's fixed failure texts.
const char kFileNotFound[] = "File not found";
const char kCannotOpenInitialFile[] = "Cannot open initial file";
const char kSetupNotStarted[] = "Setup not started";

// Four rows out of alphabetical order, each with its own package.
const std::vector<std::string> kFourRows = {
    "Zeta 440LX,8086,7180,0,3,ZETA\\SETUP.EXE,0",
    "Alpha MVP3,1106,0598,0,3,ALPHA\\SETUP.EXE,0",
    "Mid Aladdin,10B9,1541,0,3,MID\\SETUP.EXE,0",
    "Beta Apollo,1106,0691,0,3,BETA\\SETUP.EXE,0",
};
const std::vector<std::string> kFourNames = {"Zeta 440LX", "Alpha MVP3", "Mid Aladdin", "Beta Apollo"};

void PrepareFourRows(Run& run)
{
    run.Settings(EnglishTexts().Drivers(kFourRows));
    for (const char* package : {"ZETA", "ALPHA", "MID", "BETA"})
        run.SetupProgram(package);
}

// The usual board, one row for it with this command, and its package.
void PrepareBoard(Run& run, const std::string& row, const std::string& package)
{
    run.Settings(EnglishTexts().Drivers({row}));
    run.PresentDevices({kBoard});
    run.SetupProgram(package);
}

Dialog WaitForDetection(Run& run)
{
    return run.WaitForDialog(english::DetectCaption);
}

// Start-up stops ------------------------------------------------------------

// Windows NT 3.51 reports major version 3: the program stops before any box,
// the AGP warning and the detection included.
void BelowWindows4EndsSilently(Run& run)
{
    run.Windows("nt351");
    run.Settings(EnglishTexts().Set("1", "PCIWarningDlg", "1").Drivers({kBoardRow}));
    run.PresentDevices({kBoard});
    run.Start();
    run.ExpectEndsWith(0);
    run.ExpectProbeCalls({});
}

// Windows 95 build 950 is an early build: the warning shows the build
// number in the "Win95Check" format, and No ends the program.
void EarlyBuildWarningNoEnds(Run& run)
{
    run.Windows("win95");
    PrepareBoard(run, kBoardRow, "BX");
    run.Start();
    Dialog warning = run.WaitForDialog(english::Win95CheckCaption);
    warning.ExpectMessage("This is build 950 of Windows 95.");
    warning.Choose(kNo);
    run.ExpectEndsWith(0);
    run.ExpectProbeCalls({});
}

// Yes to the early-build warning and Yes to the AGP warning go on to the
// table and the detection.
void BothWarningsYesContinue(Run& run)
{
    run.Windows("win95");
    run.Settings(EnglishTexts().Set("1", "PCIWarningDlg", "1").Drivers({kBoardRow}));
    run.PresentDevices({kBoard});
    run.Start();
    run.WaitForDialog(english::Win95CheckCaption).Choose(kYes);
    Dialog agp = run.WaitForDialog(english::AgpOnlyCaption);
    agp.ExpectMessage(english::AgpOnly);
    agp.Choose(kYes);
    Dialog detect = WaitForDetection(run);
    detect.ExpectText(kChipName, kBoardChip);
    detect.Choose(kExit);
    run.ExpectEndsWith(0);
}

// A "Win95Check" text with a string conversion is not a format the program
// can fill with the build number: it is shown as it stands.
void EarlyBuildStringFormatShownAsIs(Run& run)
{
    run.Windows("win95");
    run.Settings(EnglishTexts().Set("1", "Win95Check", "Build %s is early.").Drivers({kBoardRow}));
    run.Start();
    Dialog warning = run.WaitForDialog(english::Win95CheckCaption);
    warning.ExpectMessage("Build %s is early.");
    warning.Choose(kNo);
    run.ExpectEndsWith(0);
}

// Windows NT 4.0 is 4.0 too, but build 1381 is no early build.
void NoEarlyBuildWarningOnNt40(Run& run)
{
    run.Windows("nt40");
    PrepareBoard(run, kBoardRow, "BX");
    run.Start();
    WaitForDetection(run).Choose(kExit);
    run.ExpectEndsWith(0);
}

// Any "PCIWarningDlg" but exactly "0" shows the AGP warning; No ends the
// program before the table is read.
void ExpectAgpWarningStops(Run& run, const SettingsFile& settings)
{
    run.Settings(settings);
    run.PresentDevices({kBoard});
    run.Start();
    Dialog agp = run.WaitForDialog(english::AgpOnlyCaption);
    agp.ExpectMessage(english::AgpOnly);
    agp.Choose(kNo);
    run.ExpectEndsWith(0);
    run.ExpectProbeCalls({});
}

void AgpWarningWhenKeyMissing(Run& run)
{
    ExpectAgpWarningStops(run, EnglishTexts().Remove("1", "PCIWarningDlg").Drivers({kBoardRow}));
}

void AgpWarningForDoubleZero(Run& run)
{
    ExpectAgpWarningStops(run, EnglishTexts().Set("1", "PCIWarningDlg", "00").Drivers({kBoardRow}));
}

void AgpWarningForLetterO(Run& run)
{
    ExpectAgpWarningStops(run, EnglishTexts().Set("1", "PCIWarningDlg", "O").Drivers({kBoardRow}));
}

// The profile reader drops the blanks around a value, so " 0 " is "0".
void NoAgpWarningForZeroWithBlanks(Run& run)
{
    run.Settings(EnglishTexts().Set("1", "PCIWarningDlg", " 0 ").Drivers({kBoardRow}));
    run.Start();
    WaitForDetection(run).Choose(kExit);
    run.ExpectEndsWith(0);
}

// A malformed first row (no restart flag) stops the program with the fixed
// error box and exit code -1, after the warnings that apply.
void MalformedRowExitsMinusOne(Run& run)
{
    run.Settings(EnglishTexts().Set("1", "PCIWarningDlg", "1").Drivers({"Sample A,1A2B,0C3D,0,3,SETUP.EXE"}));
    run.Start();
    run.WaitForDialog(english::AgpOnlyCaption).Choose(kYes);
    Dialog error = run.WaitForDialog(kFileNotFound);
    error.ExpectMessage(kCannotOpenInitialFile);
    error.Choose(kOk);
    run.ExpectEndsWith(0xFFFFFFFF);
    run.ExpectProbeCalls({});
}

// Without a settings file every text is empty: the AGP warning shows with an
// empty text, and the detection dialog keeps only its chipset placeholder.
void NoSettingsFileShowsEmptyTexts(Run& run)
{
    run.Start();
    Dialog agp = run.WaitForDialog("");
    agp.ExpectMessage("");
    agp.Choose(kYes);
    Dialog detect = run.WaitForDialog("");
    detect.ExpectText(kWelcome, "");
    detect.ExpectText(kOk, "");
    detect.ExpectText(kChipName, kUnknownChip);
    detect.ExpectEnabled(kInstallYes, false);
    detect.Choose(kExit);
    run.ExpectEndsWith(0);
}

// Localized texts ------------------------------------------------------------

// With country code 49, texts come from section 49; a key it lacks or
// leaves empty comes from section 1.
void CountrySectionFallsBackToSection1(Run& run)
{
    run.Country("49");
    run.Settings(EnglishTexts()
                     .Set("49", "DlgDetect", "Chipsatzerkennung")
                     .Set("49", "Welcome", "")
                     .Set("49", "Exit", "&Beenden")
                     .Drivers({kBoardRow}));
    run.PresentDevices({kBoard});
    run.Start();
    Dialog detect = run.WaitForDialog("Chipsatzerkennung");
    detect.ExpectText(kExit, "&Beenden");
    detect.ExpectText(kWelcome, english::Welcome);
    detect.ExpectText(kOk, english::Ok);
    detect.Choose(kExit);
    run.ExpectEndsWith(0);
}

// Without "iCountry" the country code is "0": section 0 first, then 1.
void MissingCountryCodeReadsSection0(Run& run)
{
    run.NoCountry();
    run.Settings(EnglishTexts().Set("0", "DlgDetect", "Section zero").Drivers({kBoardRow}));
    run.Start();
    Dialog detect = run.WaitForDialog("Section zero");
    detect.ExpectText(kExit, english::Exit);
    detect.Choose(kExit);
    run.ExpectEndsWith(0);
}

// Detection dialog ------------------------------------------------------------

// Every text of the detection dialog is localized, and the detected
// chipset's name fills the group box with the first radio button checked.
void DetectionDialogShowsTextsAndChipset(Run& run)
{
    PrepareBoard(run, kBoardRow, "BX");
    run.Start();
    Dialog detect = WaitForDetection(run);
    detect.ExpectText(kWelcome, english::Welcome);
    detect.ExpectText(kChipOnBoard, english::ChipOnBoard);
    detect.ExpectText(kAskInstall, english::AskInstall);
    detect.ExpectText(kInstallYes, english::InstallYes);
    detect.ExpectText(kInstallNo, english::InstallNo);
    detect.ExpectText(kOk, english::Ok);
    detect.ExpectText(kExit, english::Exit);
    detect.ExpectText(kChipName, kBoardChip);
    detect.ExpectEnabled(kInstallYes, true);
    detect.ExpectChecked(kInstallYes, true);
    detect.ExpectChecked(kInstallNo, false);
    detect.Choose(kExit);
    run.ExpectEndsWith(0);
    run.ExpectNothingStarted();
}

// A settings file without "OK" and "Exit" leaves both buttons without text.
void MissingButtonTextsLeaveButtonsBlank(Run& run)
{
    run.Settings(EnglishTexts().Remove("1", "OK").Remove("1", "Exit").Drivers({kBoardRow}));
    run.Start();
    Dialog detect = WaitForDetection(run);
    detect.ExpectText(kOk, "");
    detect.ExpectText(kExit, "");
    detect.Choose(kExit);
    run.ExpectEndsWith(0);
}

// Rows are probed in table order, slot 1 before slot 2, empty slots never;
// the first row the probe confirms wins and later rows are not probed.
void DetectionProbesInTableOrder(Run& run)
{
    run.Settings(EnglishTexts().Drivers({
        "No codes,8086,0,0,3,A\\SETUP.EXE,0",
        "Absent pair,1106,0598,0691,3,A\\SETUP.EXE,0",
        "Slot two only,10B9,0,1621,3,A\\SETUP.EXE,0",
        "Also present,8086,7190,0,3,A\\SETUP.EXE,0",
    }));
    run.PresentDevices({"10B9 1621", kBoard});
    run.Start();
    Dialog detect = WaitForDetection(run);
    run.ExpectProbeCalls({"1106 0598", "1106 0691", "10B9 1621"});
    detect.ExpectText(kChipName, "Slot two only");
    detect.Choose(kExit);
    run.ExpectEndsWith(0);
}

// A row whose first device code is present is not probed for its second.
void DetectionStopsAtMatchingFirstSlot(Run& run)
{
    run.Settings(EnglishTexts().Drivers({"Both present,8086,7190,7192,3,A\\SETUP.EXE,0"}));
    run.PresentDevices({"8086 7190", "8086 7192"});
    run.Start();
    Dialog detect = WaitForDetection(run);
    run.ExpectProbeCalls({"8086 7190"});
    detect.ExpectText(kChipName, "Both present");
    detect.Choose(kExit);
    run.ExpectEndsWith(0);
}

// Nothing detected: only "choose another driver" is offered, the name stays
// "Unknown (not in list)", and OK opens the list on its first row. Exit
// there, without an argument, ends the program.
void NothingDetectedOffersOnlyTheList(Run& run)
{
    PrepareFourRows(run);
    run.PresentDevices({});
    run.Start();
    Dialog detect = WaitForDetection(run);
    detect.ExpectText(kChipName, kUnknownChip);
    detect.ExpectEnabled(kInstallYes, false);
    detect.ExpectChecked(kInstallNo, true);
    detect.Choose(kOk);
    Dialog select = run.WaitForDialog(english::SelectCaption);
    select.ExpectComboItems(kDriverList, kFourNames);
    select.ExpectComboSelection(kDriverList, 0);
    select.Choose(kExit);
    run.ExpectEndsWith(0);
    run.ExpectNothingStarted();
}

// An empty table probes nothing and lists nothing; Install on the empty list
// chooses no row and counts as Exit.
void EmptyTableInstallCountsAsExit(Run& run)
{
    run.Settings(EnglishTexts());
    run.PresentDevices({kBoard});
    run.Start();
    Dialog detect = WaitForDetection(run);
    run.ExpectProbeCalls({});
    detect.ExpectEnabled(kInstallYes, false);
    detect.ExpectChecked(kInstallNo, true);
    detect.Choose(kOk);
    Dialog select = run.WaitForDialog(english::SelectCaption);
    select.ExpectComboItems(kDriverList, {});
    select.ExpectComboSelection(kDriverList, -1);
    select.Choose(kOk);
    run.ExpectEndsWith(0);
}

// Like Exit, Install on the empty list offers a restart when the program
// was started with an argument.
void EmptyTableInstallWithArgumentOffersRestart(Run& run)
{
    run.Settings(EnglishTexts());
    run.StartWithArgument("x");
    WaitForDetection(run).Choose(kOk);
    run.WaitForDialog(english::SelectCaption).Choose(kOk);
    run.WaitForRestartDialog().Choose(kExit);
    run.ExpectEndsWith(0);
    run.ExpectNoRestartRequest();
}

// Installation flow ------------------------------------------------------------

// OK with the first radio button installs the detected row: its command
// starts in its package folder. The radio buttons may be switched freely;
// only their state at OK counts. Restart flag 0 ends the program.
void DetectionOkInstallsDetectedDriver(Run& run)
{
    PrepareBoard(run, kBoardRow, "BX");
    run.Start();
    Dialog detect = WaitForDetection(run);
    detect.Press(kInstallNo);
    detect.ExpectChecked(kInstallNo, true);
    detect.Press(kInstallYes);
    detect.ExpectChecked(kInstallYes, true);
    detect.ExpectChecked(kInstallNo, false);
    detect.Choose(kOk);
    run.ExpectSetupStarted(run.Path("BX"), "BX\\SETUP.EXE", run.Path("BX"));
    run.ExpectEndsWith(0);
}

// OK with the second radio button opens the selection dialog: every row in
// table order, the detected one preselected; Install starts that row.
void SecondRadioOpensSelectionOnDetectedRow(Run& run)
{
    PrepareFourRows(run);
    run.PresentDevices({"10B9 1541"});
    run.Start();
    Dialog detect = WaitForDetection(run);
    detect.ExpectText(kChipName, "Mid Aladdin");
    detect.Press(kInstallNo);
    detect.Choose(kOk);
    Dialog select = run.WaitForDialog(english::SelectCaption);
    select.ExpectText(kSelectOne, english::SelectOne);
    select.ExpectText(kOk, english::Install);
    select.ExpectText(kExit, english::Exit);
    select.ExpectComboItems(kDriverList, kFourNames);
    select.ExpectComboSelection(kDriverList, 2);
    select.Choose(kOk);
    run.ExpectSetupStarted(run.Path("MID"), "MID\\SETUP.EXE", run.Path("MID"));
    run.ExpectEndsWith(0);
}

// Install starts the row the user chose in the list.
void SelectionInstallsChosenRow(Run& run)
{
    PrepareFourRows(run);
    run.Start();
    WaitForDetection(run).Choose(kOk);
    Dialog select = run.WaitForDialog(english::SelectCaption);
    select.SelectComboItem(kDriverList, 3);
    select.Choose(kOk);
    run.ExpectSetupStarted(run.Path("BETA"), "BETA\\SETUP.EXE", run.Path("BETA"));
    run.ExpectEndsWith(0);
}

// Exit in the detection dialog without an argument ends the program.
void DetectionExitWithoutArgumentEnds(Run& run)
{
    PrepareBoard(run, kBoardRow, "BX");
    run.Start();
    WaitForDetection(run).Choose(kExit);
    run.ExpectEndsWith(0);
    run.ExpectNothingStarted();
    run.ExpectNoRestartRequest();
}

// Exit with an argument offers a restart; the restart dialog shows its
// template's texts, never localized ones, and its Exit restarts nothing.
void DetectionExitWithArgumentOffersRestart(Run& run)
{
    PrepareBoard(run, kBoardRow, "BX");
    run.StartWithArgument("x");
    WaitForDetection(run).Choose(kExit);
    Dialog restart = run.WaitForRestartDialog();
    restart.ExpectText(kWelcome, kRestartWelcome);
    restart.ExpectText(kAskInstall, kRestartQuestion);
    restart.Choose(kExit);
    run.ExpectEndsWith(0);
    run.ExpectNothingStarted();
    run.ExpectNoRestartRequest();
}

// Escape is Exit, in the detection dialog and in the restart dialog.
void EscapeIsExitInDetectionAndRestart(Run& run)
{
    PrepareBoard(run, kBoardRow, "BX");
    run.StartWithArgument("x");
    WaitForDetection(run).PressEscape();
    run.WaitForRestartDialog().PressEscape();
    run.ExpectEndsWith(0);
    run.ExpectNoRestartRequest();
}

// Blanks after the program's name are no argument: Exit ends the program.
void BlankTailIsNoArgument(Run& run)
{
    PrepareBoard(run, kBoardRow, "BX");
    run.StartWithTail("   ");
    WaitForDetection(run).Choose(kExit);
    run.ExpectEndsWith(0);
}

// Escape in the selection dialog is Exit: with an argument, a restart offer.
void SelectionEscapeWithArgumentOffersRestart(Run& run)
{
    PrepareFourRows(run);
    run.StartWithArgument("x");
    WaitForDetection(run).Choose(kOk);
    run.WaitForDialog(english::SelectCaption).PressEscape();
    run.WaitForRestartDialog().Choose(kExit);
    run.ExpectEndsWith(0);
    run.ExpectNothingStarted();
}

// OK in the restart dialog asks Windows to restart (the harness refuses),
// and the program ends.
void RestartOkRequestsRestart(Run& run)
{
    PrepareBoard(run, kBoardRow, "BX");
    run.StartWithArgument("x");
    WaitForDetection(run).Choose(kExit);
    run.WaitForRestartDialog().Choose(kOk);
    run.ExpectRestartRequested();
    run.ExpectEndsWith(0);
}

// Driver launch ------------------------------------------------------------

// The current folder is the command's folder, arguments and all, inside the
// program's folder.
void LaunchUsesNestedPackageFolder(Run& run)
{
    PrepareBoard(run, "Intel 440BX,8086,7190,0,3,DRV\\A\\SETUP.EXE /q,0", "DRV\\A");
    run.Start();
    WaitForDetection(run).Choose(kOk);
    run.ExpectSetupStarted(run.Path("DRV\\A"), "DRV\\A\\SETUP.EXE /q", run.Path("DRV\\A"));
    run.ExpectEndsWith(0);
}

// An absolute command joined to the program's folder names no folder: the
// current folder stays as it was, and the command still starts.
void LaunchAbsoluteCommandKeepsCurrentFolder(Run& run)
{
    const std::string outside = "C:\\PYXETE2E";
    run.Settings(EnglishTexts().Drivers({"Intel 440BX,8086,7190,0,3," + outside + "\\SETUP.EXE,0"}));
    run.PresentDevices({kBoard});
    run.SetupProgramOutside(outside);
    run.Start();
    WaitForDetection(run).Choose(kOk);
    run.ExpectSetupStarted(outside, outside + "\\SETUP.EXE", run.Path("start"));
    run.ExpectEndsWith(0);
}

// A command short in its path but long in its arguments, 127 characters in
// all, from the program folder T:\01b: only the command's folder part is
// joined to the program folder, so the setup program starts in its own
// folder T:\01b\DRV\A, whatever its arguments.
void LaunchFolderIgnoresArguments(Run& run)
{
    std::string command = "DRV\\A\\SETUP.EXE -s -f1\"SETUP.ISS\" -f2\"SETUP.LOG\" ";
    command += std::string(127 - command.size(), 'x');
    PrepareBoard(run, "Intel 440BX,8086,7190,0,3," + command + ",0", "DRV\\A");
    run.Start();
    WaitForDetection(run).Choose(kOk);
    run.ExpectSetupStarted("T:\\01b\\DRV\\A", command, "T:\\01b\\DRV\\A");
    run.ExpectEndsWith(0);
}

// 63 characters: T:\ and 60 more.
const std::string kLongFolderOnDriveT = "T:\\" + std::string(60, 'P');

// A program folder of 63 characters on the drive T: and a command whose
// folder part is 64: joined, the folder would be 128 characters, one more
// than a path holds. The setup program is not started in a folder it does
// not expect: "Setup not started" names the command, and nothing starts.
void LaunchFolderTooLongStartsNothing(Run& run)
{
    const std::string folderPart = "DRV\\" + std::string(60, 'F');
    const std::string command = folderPart + "\\SETUP.EXE";
    PrepareBoard(run, "Intel 440BX,8086,7190,0,3," + command + ",0", folderPart);
    run.Start();
    WaitForDetection(run).Choose(kOk);
    Dialog error = run.WaitForDialog(kSetupNotStarted);
    error.ExpectMessageContains(command);
    error.Choose(kOk);
    run.ExpectEndsWith(0);
    run.ExpectNothingStarted();
}

// After a launch only the row's restart flag counts: anything but 1 ends
// the program, even when it was started with an argument.
void ExpectLaunchEndsWithoutRestartOffer(Run& run, const std::string& restartFlag)
{
    PrepareBoard(run, "Intel 440BX,8086,7190,0,3,BX\\SETUP.EXE," + restartFlag, "BX");
    run.StartWithArgument("x");
    WaitForDetection(run).Choose(kOk);
    run.ExpectSetupStarted(run.Path("BX"), "BX\\SETUP.EXE", run.Path("BX"));
    run.ExpectEndsWith(0);
}

void RestartFlag0WithArgumentEnds(Run& run)
{
    ExpectLaunchEndsWithoutRestartOffer(run, "0");
}

void RestartFlag2WithArgumentEnds(Run& run)
{
    ExpectLaunchEndsWithoutRestartOffer(run, "2");
}

// A driver that does not support this Windows is refused with the localized
// warning; nothing starts, and the program ends even with an argument and a
// restart flag of 1.
void ExpectNotSupported(Run& run, const std::string& flags)
{
    PrepareBoard(run, "Intel 440BX,8086,7190,0," + flags + ",BX\\SETUP.EXE,1", "BX");
    run.StartWithArgument("x");
    WaitForDetection(run).Choose(kOk);
    Dialog warning = run.WaitForDialog(english::NotSupported);
    warning.ExpectMessage(english::NotSupportedMsg);
    warning.Choose(kOk);
    run.ExpectEndsWith(0);
    run.ExpectNothingStarted();
}

// Windows 98 is 4.10: judged by bit 1, which flags 1 lack.
void NotSupportedOnWindows98(Run& run)
{
    run.Windows("win98");
    ExpectNotSupported(run, "1");
}

// Windows NT 4.0 is 4.00: judged by bit 0, which flags 2 lack.
void NotSupportedOnNt40(Run& run)
{
    run.Windows("nt40");
    ExpectNotSupported(run, "2");
}

// A command that cannot start is reported with the command named, and the
// program ends without a restart offer.
void UnstartableCommandIsReported(Run& run)
{
    run.Settings(EnglishTexts().Drivers({"Intel 440BX,8086,7190,0,3,MISSING\\NOSUCH.EXE,1"}));
    run.PresentDevices({kBoard});
    run.StartWithArgument("x");
    WaitForDetection(run).Choose(kOk);
    Dialog error = run.WaitForDialog(kSetupNotStarted);
    error.ExpectMessageContains("MISSING\\NOSUCH.EXE");
    error.Choose(kOk);
    run.ExpectEndsWith(0);
    run.ExpectNoRestartRequest();
}

// Waiting for the setup program ------------------------------------------------

// Restart flag 1: the restart dialog stays minimized while the setup
// program's window exists and restores itself once it has closed.
void ExpectRestartWaitsForSetupWindow(Run& run, const std::string& windowKind)
{
    PrepareBoard(run, "Intel 440BX,8086,7190,0,3,BX\\SETUP.EXE " + windowKind + " 3000,1", "BX");
    run.Start();
    WaitForDetection(run).Choose(kOk);
    Dialog restart = run.WaitForRestartDialog();
    run.KeepMinimizedAfterItsOwnRequest(restart);
    run.ExpectMinimizedUntilSetupWindowCloses(restart);
    restart.Choose(kExit);
    run.ExpectEndsWith(0);
    run.ExpectSetupStarted(run.Path("BX"), "BX\\SETUP.EXE " + windowKind + " 3000", run.Path("BX"));
    run.ExpectNoRestartRequest();
}

void RestartWaitsForWindowTitledSetup(Run& run)
{
    ExpectRestartWaitsForSetupWindow(run, "title");
}

void RestartWaitsForWindowOfSetupClass(Run& run)
{
    ExpectRestartWaitsForSetupWindow(run, "class");
}

// With "MainWinTitle" exactly "Setup" the program's own hidden window keeps
// the restart dialog minimized until the user restores it.
void RestartWaitsForOwnWindowTitledSetup(Run& run)
{
    run.Settings(EnglishTexts().Set("1", "MainWinTitle", "Setup").Drivers({kBoardRow}));
    run.StartWithArgument("x");
    WaitForDetection(run).Choose(kExit);
    Dialog restart = run.WaitForRestartDialog();
    run.KeepMinimizedAfterItsOwnRequest(restart);
    run.ExpectStaysMinimizedFor(restart, 1600);
    restart.Restore();
    restart.Choose(kExit);
    run.ExpectEndsWith(0);
}

// The real probe library ------------------------------------------------------

// ENUM.DLL finds a device by its key under either enumeration folder, with
// the name compared without regard to case, and only when the vendor and
// device codes are followed by '&' or the end of the name.
void RealProbeLibraryReadsDeviceKeys(Run& run)
{
    const std::string ntFamily = "System\\CurrentControlSet\\Enum\\PCI\\";
    const std::string windows95Family = "Enum\\PCI\\";
    run.AddDeviceKey(ntFamily + "VEN_8086&DEV_7190&SUBSYS_00000000&REV_03");
    run.AddDeviceKey(windows95Family + "VEN_1106&DEV_0598&SUBSYS_00000000&REV_00");
    run.AddDeviceKey(windows95Family + "ven_10b9&dev_1541&subsys_00000000&rev_04");
    run.AddDeviceKey(ntFamily + "VEN_1039&DEV_0530");
    run.AddDeviceKey(ntFamily + "VEN_1022&DEV_700C1&SUBSYS_00000000&REV_00");
    run.AddDeviceKey(windows95Family + "VEN_1022&DEV_7006X");
    run.ExpectRealProbe(0x8086, 0x7190, true);
    run.ExpectRealProbe(0x1106, 0x0598, true);
    run.ExpectRealProbe(0x10B9, 0x1541, true);
    run.ExpectRealProbe(0x1039, 0x0530, true);
    run.ExpectRealProbe(0x10008086, 0xABCD7190, true);  // only the low 16 bits count
    run.ExpectRealProbe(0x1022, 0x700C, false);
    run.ExpectRealProbe(0x1022, 0x7006, false);
    run.ExpectRealProbe(0x8086, 0x7192, false);
    run.ExpectRealProbe(0x8087, 0x7190, false);
}

// A Windows 98 disk moved from a 440BX board to a KT133 one: both host
// bridges keep their keys under Enum\PCI, listed 440BX first, and the table
// has a row for each, 440BX first.
void PrepareMovedDisk(Run& run)
{
    run.UseRealProbeLibrary();
    run.Settings(EnglishTexts().Drivers({kBoardRow, "VIA KT133,1106,0305,0,3,KT\\SETUP.EXE,0"}));
    run.AddDeviceKey("Enum\\PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03");
    run.AddDeviceKey("Enum\\PCI\\VEN_1106&DEV_0305&SUBSYS_00000000&REV_02");
    // Device nodes of every session, none of them on the PCI bus.
    run.AddDeviceNode("HTREE\\ROOT\\0");
    run.AddDeviceNode("Root\\*PNP0A03\\0000");
    run.AddDeviceNode("BIOS\\*PNP0C01\\0C");
}

void ExpectDetectedChip(Run& run, const std::string& chip)
{
    run.Start();
    Dialog detect = WaitForDetection(run);
    detect.ExpectText(kChipName, chip);
    detect.Choose(kExit);
    run.ExpectEndsWith(0);
}

// The Configuration Manager lists the KT133 host bridge as present: only
// the devices it lists answer, so the KT133 row is detected.
void DetectionAnswersFromPresentDevices(Run& run)
{
    PrepareMovedDisk(run);
    run.AddDeviceNode("PCI\\VEN_1106&DEV_0305&SUBSYS_00000000&REV_02\\BUS_00&DEV_00&FUNC_00");
    run.AddDeviceNode("PCI\\VEN_1106&DEV_8305&SUBSYS_00000000&REV_00\\BUS_00&DEV_01&FUNC_00");
    ExpectDetectedChip(run, "VIA KT133");
    run.ExpectRealProbe(0x1106, 0x0305, true);
    run.ExpectRealProbe(0x8086, 0x7190, false);
}

// A list that names no PCI device says nothing about them: the device keys
// answer, and the first row whose host bridge has a key is detected.
void DetectionWithoutPresentPciDevicesReadsDeviceKeys(Run& run)
{
    PrepareMovedDisk(run);
    ExpectDetectedChip(run, kBoardChip);
}

// From a CD or a floppy -----------------------------------------------------
//
// scripts/wine-media.sh builds the CD or the floppy image of the
// distributable folder, with the test setup program in each package, and
// reads its files back into the folders that the Wine session maps as drive
// D: (a CD-ROM drive) and A: (a floppy drive). The program then runs from a
// drive root, so its folder is the drive alone ("D:"): it reads the shipped
// PYXET.INI and probes with the real ENUM.DLL.

const char kShippedAgpCaption[] = "AGP chipset drivers";
const char kShippedDetectCaption[] = "Pyxet - Chipset Detection";
const char kShippedSelectCaption[] = "Pyxet - Driver Selection";

// From D:, the detected Intel 440BX row's setup program starts in
// D:\DRIVERS\BX with the row's command, and the row's restart flag 1 offers
// a restart once it has gone.
void InstallFromCdromDrive(Run& run)
{
    run.ExpectDriveType("D:\\", DRIVE_CDROM);
    run.AddDeviceKey("System\\CurrentControlSet\\Enum\\PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03");
    run.StartFromDrive("D:\\PYXET.EXE");
    run.WaitForDialog(kShippedAgpCaption).Choose(kYes);
    Dialog detect = run.WaitForDialog(kShippedDetectCaption);
    detect.ExpectText(kChipName, "Intel 440BX/ZX");
    detect.Choose(kOk);
    run.ExpectSetupStarted("D:\\DRIVERS\\BX", "DRIVERS\\BX\\SETUP.EXE", "D:\\DRIVERS\\BX");
    run.WaitForRestartDialog().Choose(kExit);
    run.ExpectEndsWith(0);
    run.ExpectNoRestartRequest();
}

// From A:, on a VIA MVP3 board listed where Windows 98 keeps it, the user
// chooses another driver from the list; its setup program starts in
// A:\DRIVERS\ALADDIN, and its restart flag 0 ends the program.
void InstallChosenDriverFromFloppyDrive(Run& run)
{
    run.ExpectDriveType("A:\\", DRIVE_REMOVABLE);
    run.AddDeviceKey("Enum\\PCI\\VEN_1106&DEV_0598&SUBSYS_00000000&REV_04");
    run.StartFromDrive("A:\\PYXET.EXE");
    run.WaitForDialog(kShippedAgpCaption).Choose(kYes);
    Dialog detect = run.WaitForDialog(kShippedDetectCaption);
    detect.ExpectText(kChipName, "VIA Apollo MVP3");
    detect.Press(kInstallNo);
    detect.Choose(kOk);
    Dialog select = run.WaitForDialog(kShippedSelectCaption);
    select.ExpectComboSelection(kDriverList, 2);
    select.SelectComboItem(kDriverList, 4);
    select.Choose(kOk);
    run.ExpectSetupStarted("A:\\DRIVERS\\ALADDIN", "DRIVERS\\ALADDIN\\SETUP.EXE", "A:\\DRIVERS\\ALADDIN");
    run.ExpectEndsWith(0);
    run.ExpectNoRestartRequest();
}

// Start-up time ------------------------------------------------------------

const int kTimingRounds = 5;
// The program does little before its first dialog; far slower than a
// program that only shows a dialog means something went wrong.
const double kSlowestRatio = 3.0;

void StartupTiming(Run& run)
{
    StartupTimes times = MeasureStartup(run, kTimingRounds);
    run.Findings().Note(DescribeStartup(times));
    if (times.Ratio() > kSlowestRatio)
        run.Findings().Fail("PYXET.EXE takes more than three times as long as a minimal dialog program");
}

// Each row: the name (the test is e2e_NAME), the steps, the program's
// folder on the drive T: where it needs one of a chosen length, and the
// words that tell CTest how to run it:
//   (none)          from a folder of the build; it sets the Windows version
//                   and the country code in the one prefix that the run
//                   shares, so such scenarios take turns;
//   cd:PACKAGE      from the CD image of the distributable folder in D:, and
//   floppy:PACKAGE  from its floppy image in A:, whose DRIVERS\PACKAGE holds
//                   the test setup program (scripts/wine-media.sh builds the
//                   image and reads its files back first);
//   device-keys     it adds device keys that others would see: such
//                   scenarios take turns;
//   probe-only      it starts no PYXET.EXE and leaves the Windows version and
//                   the country code alone;
//   alone           nothing else runs meanwhile: a restart request reaches
//                   every program of the session, and Wine ends those that
//                   agree before the harness refuses.
const Scenario kScenarios[] = {
    {"below_windows_4_ends_silently", BelowWindows4EndsSilently},
    {"early_build_warning_no_ends", EarlyBuildWarningNoEnds},
    {"both_warnings_yes_continue", BothWarningsYesContinue},
    {"early_build_string_format_shown_as_is", EarlyBuildStringFormatShownAsIs},
    {"no_early_build_warning_on_nt40", NoEarlyBuildWarningOnNt40},
    {"agp_warning_when_key_missing", AgpWarningWhenKeyMissing},
    {"agp_warning_for_double_zero", AgpWarningForDoubleZero},
    {"agp_warning_for_letter_o", AgpWarningForLetterO},
    {"no_agp_warning_for_zero_with_blanks", NoAgpWarningForZeroWithBlanks},
    {"malformed_row_exits_minus_one", MalformedRowExitsMinusOne},
    {"no_settings_file_shows_empty_texts", NoSettingsFileShowsEmptyTexts},
    {"country_section_falls_back_to_section_1", CountrySectionFallsBackToSection1},
    {"missing_country_code_reads_section_0", MissingCountryCodeReadsSection0},
    {"detection_dialog_shows_texts_and_chipset", DetectionDialogShowsTextsAndChipset},
    {"missing_button_texts_leave_buttons_blank", MissingButtonTextsLeaveButtonsBlank},
    {"detection_probes_in_table_order", DetectionProbesInTableOrder},
    {"detection_stops_at_matching_first_slot", DetectionStopsAtMatchingFirstSlot},
    {"nothing_detected_offers_only_the_list", NothingDetectedOffersOnlyTheList},
    {"empty_table_install_counts_as_exit", EmptyTableInstallCountsAsExit},
    {"empty_table_install_with_argument_offers_restart", EmptyTableInstallWithArgumentOffersRestart},
    {"detection_ok_installs_detected_driver", DetectionOkInstallsDetectedDriver},
    {"second_radio_opens_selection_on_detected_row", SecondRadioOpensSelectionOnDetectedRow},
    {"selection_installs_chosen_row", SelectionInstallsChosenRow},
    {"detection_exit_without_argument_ends", DetectionExitWithoutArgumentEnds},
    {"detection_exit_with_argument_offers_restart", DetectionExitWithArgumentOffersRestart},
    {"escape_is_exit_in_detection_and_restart", EscapeIsExitInDetectionAndRestart},
    {"blank_tail_is_no_argument", BlankTailIsNoArgument},
    {"selection_escape_with_argument_offers_restart", SelectionEscapeWithArgumentOffersRestart},
    {"restart_ok_requests_restart", RestartOkRequestsRestart, "", "alone"},
    {"launch_uses_nested_package_folder", LaunchUsesNestedPackageFolder},
    {"launch_absolute_command_keeps_current_folder", LaunchAbsoluteCommandKeepsCurrentFolder},
    {"launch_folder_ignores_arguments", LaunchFolderIgnoresArguments, "T:\\01b"},
    {"launch_folder_too_long_starts_nothing", LaunchFolderTooLongStartsNothing, kLongFolderOnDriveT},
    {"restart_flag_0_with_argument_ends", RestartFlag0WithArgumentEnds},
    {"restart_flag_2_with_argument_ends", RestartFlag2WithArgumentEnds},
    {"not_supported_on_windows_98", NotSupportedOnWindows98},
    {"not_supported_on_nt40", NotSupportedOnNt40},
    {"unstartable_command_is_reported", UnstartableCommandIsReported},
    {"restart_waits_for_window_titled_setup", RestartWaitsForWindowTitledSetup},
    {"restart_waits_for_window_of_setup_class", RestartWaitsForWindowOfSetupClass},
    {"restart_waits_for_own_window_titled_setup", RestartWaitsForOwnWindowTitledSetup},
    {"real_probe_library_reads_device_keys", RealProbeLibraryReadsDeviceKeys, "", "probe-only device-keys"},
    {"detection_answers_from_present_devices", DetectionAnswersFromPresentDevices, "", "device-keys"},
    {"detection_without_present_pci_devices_reads_device_keys", DetectionWithoutPresentPciDevicesReadsDeviceKeys,
     "", "device-keys"},
    {"install_from_cdrom_drive", InstallFromCdromDrive, "", "cd:BX device-keys"},
    {"install_chosen_driver_from_floppy_drive", InstallChosenDriverFromFloppyDrive, "", "floppy:ALADDIN device-keys"},
    {"startup_timing", StartupTiming},
};

}  // namespace

const Scenario* FindScenario(const std::string& name)
{
    for (const Scenario& scenario : kScenarios) {
        if (name == scenario.Name)
            return &scenario;
    }
    return nullptr;
}
