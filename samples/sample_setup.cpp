// The setup program of the sample driver packages. It installs nothing: it
// tells the user that it is a sample, shows how it was started, and closes
// when the user presses OK. Its message box is titled "Setup", like the
// window of a real package's setup program, so the installer waits for it.
#include <windows.h>

extern "C" void WINAPI Entry()
{
    char folder[MAX_PATH];
    if (GetCurrentDirectoryA(sizeof folder, folder) == 0)
        folder[0] = '\0';
    // wsprintfA writes at most 1024 bytes; the command line is cut to fit.
    char commandLine[512];
    lstrcpynA(commandLine, GetCommandLineA(), sizeof commandLine);
    char text[1025];
    wsprintfA(text,
              "This is a sample driver package. It copies nothing and changes nothing.\r\n\r\n"
              "A real package's setup program would install the chipset driver here.\r\n\r\n"
              "Started as: %s\r\nIn the folder: %s",
              commandLine, folder);
    MessageBoxA(nullptr, text, "Setup", MB_OK | MB_ICONINFORMATION);
    ExitProcess(0);
}
