// SETUP.EXE for the end-to-end tests: a driver package's setup program that
// records how it was started and, when its arguments ask for it, holds the
// kind of window the installer waits for.
//
//   SETUP.EXE [title MS | class MS] [anything else]
//
// It appends "folder <current folder>" and "command <whole command line>" to
// setup.log beside itself. With "title MS" it then keeps a window
// titled "Setup" for MS milliseconds, with "class MS" a window of the class
// "GLBSInstall"; with any other arguments it ends at once. The window exists
// before the program first waits for messages, which is when WinExec returns
// to the installer.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/test_files.h"

namespace {

const UINT_PTR kHoldTimer = 1;

void RecordStart()
{
    char folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    AppendLines(FolderOfModule(nullptr) + "\\setup.log",
                {"folder " + std::string(folder, length < sizeof folder ? length : 0),
                 "command " + std::string(GetCommandLineA())});
}

LRESULT CALLBACK HoldWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Shows the window without taking the activation from the installer.
bool CreateHoldWindow(const char* className, const char* title, UINT holdMs)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HoldWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, 40, 40, 320, 120, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr)
        return false;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, kHoldTimer, holdMs, nullptr);
    return true;
}

int RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    RecordStart();
    if (argc < 3)
        return 0;
    UINT holdMs = static_cast<UINT>(std::strtoul(argv[2], nullptr, 10));
    bool holding = false;
    if (std::strcmp(argv[1], "title") == 0)
        holding = CreateHoldWindow("PyxetTestSetup", "Setup", holdMs);
    else if (std::strcmp(argv[1], "class") == 0)
        holding = CreateHoldWindow("GLBSInstall", "Sample installer", holdMs);
    return holding ? RunMessageLoop() : 0;
}
