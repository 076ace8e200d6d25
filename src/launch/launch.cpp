// Driver launch: support check, working folder, WinExec.
#include "launch/launch.h"

#include "core/fixed_texts.h"
#include "core/program_state.h"
#include "launch/work_dir.h"
#include "probe/version.h"
#include "settings/driver_table.h"
#include "settings/text_keys.h"
#include "settings/texts.h"

enum { kCaptionSize = 128 };

int SetWorkDirForCommand(const char* command)
{
    char folder[kPathSize];
    WorkFolderResult result = WorkFolderForCommand(folder, ProgramState.ModuleFolder, command);
    if (result == WorkFolderMade)
        SetCurrentDirectoryA(folder);
    return result != WorkFolderTooLong;
}

static void ShowNotSupported()
{
    char caption[kCaptionSize];
    char text[kTextSize];
    LookupText(kKeyNotSupported, caption, kCaptionSize);
    LookupText(kKeyNotSupportedMsg, text);
    MessageBoxA(ProgramState.MainWindow, text, caption, MB_ICONWARNING);
}

static void ShowSetupNotStarted(const char* command)
{
    // The command holds at most 127 characters, so the text fits.
    char text[kTextSize];
    wsprintfA(text, TEXT_SETUP_NOT_STARTED, command);
    MessageBoxA(ProgramState.MainWindow, text, CAPTION_SETUP_NOT_STARTED, MB_ICONERROR);
}

LaunchOutcome LaunchDriver(int row)
{
    const DriverEntry& entry = DriverTable.Rows[row];
    if (!IsDriverSupported(entry.SupportFlags)) {
        ShowNotSupported();
        return LaunchNotSupported;
    }
    // A setup program started in a folder it does not expect cannot find
    // its own files: one whose folder cannot be made current is not started.
    // WinExec answers 31 or less when nothing was started.
    if (!SetWorkDirForCommand(entry.Command) || WinExec(entry.Command, SW_SHOW) <= 31) {
        ShowSetupNotStarted(entry.Command);
        return LaunchFailed;
    }
    return entry.RestartFlag == 1 ? LaunchStartedWithRestart : LaunchStarted;
}
