// Installation flow: dialogs, launch, and the restart offer.
#include "app/flow.h"

#include "core/fixed_texts.h"
#include "core/program_state.h"
#include "launch/launch.h"
#include "res/resource.h"
#include "ui/dialogs.h"

static INT_PTR RunDialog(int templateId, DLGPROC procedure)
{
    return DialogBoxParamA(ProgramState.Instance, MAKEINTRESOURCEA(templateId),
                           ProgramState.MainWindow, procedure, 0);
}

static void Post(UINT message)
{
    PostMessageA(ProgramState.MainWindow, message, 0, 0);
}

// Leaving a dialog with Exit offers a restart only when the program was
// started with an argument.
static void PostAfterExit()
{
    Post(ProgramState.RestartOnExit ? WM_ASK_RESTART : WM_DESTROY);
}

static void PostAfterLaunch(LaunchOutcome outcome)
{
    Post(outcome == LaunchStartedWithRestart ? WM_ASK_RESTART : WM_DESTROY);
}

// The row to launch after the dialogs, or -1 when the user left with Exit.
// Install on an empty selection list chooses no row and counts as Exit.
static int ChooseRow()
{
    if (RunDialog(IDD_DETECT, DetectDialogProc) != IDOK)
        return -1;
    if (ProgramState.InstallDetected)
        return ProgramState.DetectedIndex;
    if (RunDialog(IDD_SELECT, SelectDialogProc) != IDOK)
        return -1;
    return ProgramState.ChosenIndex;
}

void RunInstallationFlow()
{
    int row = ChooseRow();
    if (row < 0)
        PostAfterExit();
    else
        PostAfterLaunch(LaunchDriver(row));
}

// On the NT family a restart needs the shutdown privilege. The token
// functions are looked up at run time: the program must also load where
// ADVAPI32 lacks them or offers them only as stubs.
static void EnableShutdownPrivilege()
{
    typedef BOOL(WINAPI * OpenProcessTokenFn)(HANDLE, DWORD, PHANDLE);
    typedef BOOL(WINAPI * LookupPrivilegeValueFn)(LPCSTR, LPCSTR, PLUID);
    typedef BOOL(WINAPI * AdjustTokenPrivilegesFn)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD,
                                                   PTOKEN_PRIVILEGES, PDWORD);
    HMODULE advapi = LoadLibraryA("ADVAPI32.DLL");
    if (advapi == nullptr)
        return;
    auto openToken = reinterpret_cast<OpenProcessTokenFn>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "OpenProcessToken")));
    auto lookupValue = reinterpret_cast<LookupPrivilegeValueFn>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "LookupPrivilegeValueA")));
    auto adjust = reinterpret_cast<AdjustTokenPrivilegesFn>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "AdjustTokenPrivileges")));
    HANDLE token;
    if (openToken != nullptr && lookupValue != nullptr && adjust != nullptr &&
        openToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges;
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (lookupValue(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
            adjust(token, FALSE, &privileges, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    FreeLibrary(advapi);
}

static void RestartWindows()
{
    if (ProgramState.Version.dwPlatformId == VER_PLATFORM_WIN32_NT)
        EnableShutdownPrivilege();
    if (!ExitWindowsEx(EWX_REBOOT, 0))
        MessageBoxA(ProgramState.MainWindow, TEXT_RESTART_REFUSED, CAPTION_RESTART_REFUSED,
                    MB_ICONWARNING);
}

void RunRestartStep()
{
    if (RunDialog(IDD_RESTART, RestartDialogProc) == IDOK)
        RestartWindows();
    Post(WM_DESTROY);
}
