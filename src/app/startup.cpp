// Start-up: the checks and warnings before the flow, the hidden main window
// and its window procedure, and the message loop.
#include "app/flow.h"
#include "core/fixed_texts.h"
#include "core/program_state.h"
#include "core/text.h"
#include "probe/detect.h"
#include "probe/version.h"
#include "settings/driver_table.h"
#include "settings/format_check.h"
#include "settings/paths.h"
#include "settings/text_keys.h"
#include "settings/texts.h"

static const char kMainClassName[] = "Pyxet";

// Windows 95 builds below this one were early releases.
enum { kFirstReleaseBuild = 1212 };

static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_USER:
        RunInstallationFlow();
        return 0;
    case WM_ASK_RESTART:
        RunRestartStep();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void RegisterMainClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = ProgramState.Instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kMainClassName;
    RegisterClassExA(&windowClass);
}

// Creates the hidden main window that owns every dialog and message box.
static void CreateMainWindow()
{
    char title[kTextSize];
    LookupText(kKeyMainWinTitle, title);
    ProgramState.MainWindow =
        CreateWindowExA(WS_EX_LEFT, kMainClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 500, 600,
                        nullptr, nullptr, ProgramState.Instance, nullptr);
    ShowWindow(ProgramState.MainWindow, SW_HIDE);
}

static int AskYesNo(const char* text, const char* caption)
{
    return MessageBoxA(ProgramState.MainWindow, text, caption, MB_ICONQUESTION | MB_YESNO) != IDNO;
}

static int IsEarlyBuild()
{
    const OSVERSIONINFOA& version = ProgramState.Version;
    return version.dwMinorVersion < 10 && (version.dwBuildNumber & 0xFFFF) < kFirstReleaseBuild;
}

// Warns about an early Windows 95 build; returns 0 when the user says No.
// The warning's text is a format from the settings file: one it cannot
// safely fill with the single build number is shown as it stands.
static int ConfirmEarlyBuild(int buildNumber)
{
    char format[kTextSize];
    char text[kTextSize];
    LookupText(kKeyWin95Check, format);
    if (IsSingleIntegerFormat(format)) {
        // wsprintfA writes at most 1024 bytes; cut the result to the buffer.
        char formatted[1025];
        wsprintfA(formatted, format, buildNumber);
        CopyText(text, formatted, kTextSize);
    } else {
        CopyText(text, format, kTextSize);
    }
    LookupText(kKeyWin95CheckCaption, format);
    return AskYesNo(text, format);
}

// Shows the AGP warning unless "PCIWarningDlg" is exactly "0"; returns 0
// when the user says No.
static int ConfirmAgpOnly()
{
    char value[kTextSize];
    LookupText(kKeyPciWarningDlg, value);
    if (TextsEqual(value, "0"))
        return 1;
    char text[kTextSize];
    char caption[kTextSize];
    LookupText(kKeyAgpOnly, text);
    LookupText(kKeyAgpOnlyCaption, caption);
    return AskYesNo(text, caption);
}

static int RunMessageLoop()
{
    MSG message;
    // GetMessageA's error result of -1 keeps the loop going, like a message.
    while (GetMessageA(&message, nullptr, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

// The platform header declares WinMain with its own parameter names and a
// writable tail; this definition must keep that type.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name,readability-non-const-parameter)
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int) // cppcheck-suppress constParameter
{
    ProgramState.Instance = instance;
    GetModuleFolder();
    ReadCountryCode();
    if (commandTail[0] != '\0')
        ProgramState.RestartOnExit = 1;

    RegisterMainClass();
    CreateMainWindow();
    // Without a main window the start message would reach nobody and the
    // loop would never end.
    if (ProgramState.MainWindow == nullptr)
        return 0;

    int buildNumber = QueryWindowsVersion();
    if (ProgramState.Version.dwMajorVersion < 4)
        return 0;
    if (IsEarlyBuild() && !ConfirmEarlyBuild(buildNumber))
        return 0;
    if (!ConfirmAgpOnly())
        return 0;

    if (LoadDriverTable() < 0) {
        MessageBoxA(ProgramState.MainWindow, TEXT_CANNOT_OPEN_INITIAL_FILE,
                    CAPTION_FILE_NOT_FOUND, MB_ICONERROR);
        return -1;
    }
    ProgramState.DetectedIndex = DetectChipset();

    UpdateWindow(ProgramState.MainWindow);
    PostMessageA(ProgramState.MainWindow, WM_USER, 0, 0);
    return RunMessageLoop();
}
