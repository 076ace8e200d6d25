// ENUM.DLL for the end-to-end tests. Its device probe answers from probe.txt
// beside the library ("VVVV DDDD" lines in hexadecimal name the present
// devices) and appends every call to probe.log there, so a test states which
// chipset the board carries and sees which devices the program asked for.
//
// Loaded into the program, it also watches the program's own requests to
// minimize or restore a window, through a CBT hook on the loading thread, and
// appends them to events.log ("minimize <title>", "shownormal <title>",
// "restore <title>"). Wine's modal dialog loop shows a dialog that minimized
// itself during WM_INITDIALOG normally again the first time its queue is
// empty, so a test cannot simply read the dialog's state after it opened; it
// reads the program's request here instead.
//
// It also watches the program's calls of WinExec, through the program's
// import table, and appends each one's command, result and last error to
// events.log ("winexec <command> -> <result> error <n>"), so that a launch
// that failed says why.
#include <windows.h>

#include <string>

#include "common/import_slot.h"
#include "common/test_files.h"

namespace {

std::string LibraryFolder;
HHOOK CbtHook;

typedef UINT(WINAPI* WinExecFunction)(LPCSTR, UINT);
WinExecFunction RealWinExec;

std::string DeviceText(DWORD vendorCode, DWORD deviceCode)
{
    char text[16];
    wsprintfA(text, "%04X %04X", static_cast<unsigned>(vendorCode & 0xFFFF),
              static_cast<unsigned>(deviceCode & 0xFFFF));
    return text;
}

bool IsListedAsPresent(const std::string& device)
{
    for (const std::string& line : ReadLines(LibraryFolder + "\\probe.txt")) {
        if (lstrcmpiA(line.c_str(), device.c_str()) == 0)
            return true;
    }
    return false;
}

const char* MinMaxEventName(int showCommand)
{
    switch (showCommand) {
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        return "minimize";
    case SW_SHOWNORMAL:
        return "shownormal";
    case SW_RESTORE:
        return "restore";
    }
    return nullptr;
}

// Records the request and lets it happen: a nonzero result would refuse it.
LRESULT CALLBACK WatchMinMax(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_MINMAX) {
        if (const char* event = MinMaxEventName(LOWORD(lParam))) {
            char title[256];
            GetWindowTextA(reinterpret_cast<HWND>(wParam), title, sizeof title);
            AppendLine(LibraryFolder + "\\events.log", std::string(event) + " " + title);
        }
    }
    return CallNextHookEx(CbtHook, code, wParam, lParam);
}

UINT WINAPI WatchWinExec(LPCSTR command, UINT show)
{
    UINT result = RealWinExec(command, show);
    DWORD error = GetLastError();
    AppendLine(LibraryFolder + "\\events.log", "winexec " + std::string(command) + " -> " +
                                                   std::to_string(result) + " error " + std::to_string(error));
    SetLastError(error);
    return result;
}

// Points the program's import of WinExec at WatchWinExec.
void WatchProgramsWinExec()
{
    RealWinExec = reinterpret_cast<WinExecFunction>(ExportedFunction("kernel32.dll", "WinExec"));
    RedirectImport(GetModuleHandleA(nullptr), reinterpret_cast<void*>(RealWinExec),
                   reinterpret_cast<void*>(WatchWinExec));
}

}  // namespace

// The probe writes into the caller's buffer, as the real one may, so that a
// program handing it a bad buffer fails here too.
extern "C" DWORD WINAPI ProbeFromFile(DWORD vendorCode, DWORD deviceCode, char* buffer)
{
    std::string device = DeviceText(vendorCode, deviceCode);
    AppendLine(LibraryFolder + "\\probe.log", device);
    lstrcpynA(buffer, "test probe", 128);
    return IsListedAsPresent(device) ? 1 : 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        LibraryFolder = FolderOfModule(instance);
        // A thread's hook goes with the thread; nothing unhooks it.
        CbtHook = SetWindowsHookExA(WH_CBT, WatchMinMax, instance, GetCurrentThreadId());
        WatchProgramsWinExec();
    }
    return TRUE;
}
