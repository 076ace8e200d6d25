// Drives the distributable PYXET.EXE to one of its boxes or dialogs so that
// scripts/screenshots.sh can take its picture. It runs inside Wine's own
// desktop, started there by the script, and so does the program it starts.
//
//   shot_driver.exe SHOT PROGRAM_FOLDER STATE_FILE
//
// SHOT is agp_warning, early_build_warning, detection, selection or restart.
// PROGRAM_FOLDER holds PYXET.EXE, the real ENUM.DLL and the shipped
// PYXET.INI. The board carries an Intel 440BX host bridge (a device key in
// the registry) and the user's country code is 1. Once the window is on
// screen the driver writes "ready X Y WIDTH HEIGHT", its rectangle on the
// desktop, to STATE_FILE, or "error TEXT" when it cannot get there; it then
// waits until STATE_FILE.done exists (at most a minute) and ends the program.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "common/test_files.h"
#include "driver/program.h"
#include "driver/registry.h"
#include "driver/wait.h"

namespace {

const DWORD kWaitMs = 10000;
const DWORD kPictureTakenMs = 60000;
const int kInstallNo = 1008;

struct ShotFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The next visible dialog or message box of the program other than the
// previous one, once it has finished opening.
Window NextDialog(const Program& program, const Window& previous)
{
    Window found;
    bool appeared = WaitUntil(
        [&] {
            for (const Window& dialog : program.Dialogs()) {
                if (dialog.Handle() != previous.Handle())
                    found = dialog;
            }
            return found.Exists();
        },
        kWaitMs);
    if (!appeared && !program.IsRunning())
        throw ShotFailed("the next window did not appear; the program ended with exit code " +
                         std::to_string(static_cast<long>(program.ExitCode())));
    if (!appeared || !found.Settle())
        throw ShotFailed("the next window did not appear; the program shows " + program.DescribeWindows());
    return found;
}

// Presses a button that ends the dialog and waits until it has gone.
void Choose(const Window& dialog, int id)
{
    if (!dialog.Press(id) || !WaitUntil([&] { return !dialog.Exists(); }, kWaitMs))
        throw ShotFailed("pressing control " + std::to_string(id) + " did not close the window");
}

// The first box: the early-build warning on an early Windows 95, else the
// AGP warning, which the shipped settings file always shows.
Window ShowFirstBox(const Program& program)
{
    return NextDialog(program, Window());
}

Window ShowDetection(const Program& program)
{
    Window agp = ShowFirstBox(program);
    Choose(agp, IDYES);
    return NextDialog(program, agp);
}

Window ShowSelection(const Program& program)
{
    Window detect = ShowDetection(program);
    detect.Press(kInstallNo);
    Choose(detect, IDOK);
    return NextDialog(program, detect);
}

// With no setup window to wait for, the restart dialog restores itself.
Window ShowRestart(const Program& program)
{
    Window detect = ShowDetection(program);
    Choose(detect, IDCANCEL);
    Window restart = NextDialog(program, detect);
    if (!WaitUntil([&] { return !restart.IsMinimized(); }, kWaitMs))
        throw ShotFailed("the restart dialog stayed minimized");
    return restart;
}

struct Shot {
    const char* Name;
    const char* Windows;   // as Wine names it
    const char* Argument;  // the command-line tail
    Window (*Show)(const Program& program);
};

const Shot kShots[] = {
    {"agp_warning", "win98", "", ShowFirstBox},
    {"early_build_warning", "win95", "", ShowFirstBox},
    {"detection", "win98", "", ShowDetection},
    {"selection", "win98", "", ShowSelection},
    {"restart", "win98", " x", ShowRestart},
};

const Shot& FindShot(const std::string& name)
{
    for (const Shot& shot : kShots) {
        if (name == shot.Name)
            return shot;
    }
    throw ShotFailed("no shot named " + name);
}

std::string ReadyLine(const Window& window)
{
    RECT rect = window.Rect();
    return "ready " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
           std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top);
}

// Written whole and then renamed, so the script never reads half a line.
void WriteState(const std::string& stateFile, const std::string& line)
{
    std::string partial = stateFile + ".partial";
    WriteTextFile(partial, line + "\n");
    MoveFileExA(partial.c_str(), stateFile.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void TakeShot(const Shot& shot, const std::string& folder, const std::string& stateFile)
{
    RegistryValueOverride version(HKEY_CURRENT_USER, kWineVersionKey, "Version", std::string(shot.Windows));
    RegistryValueOverride country(HKEY_CURRENT_USER, kInternationalKey, "iCountry", std::string("1"));
    RegistryKeys board;
    if (!version.Applied() || !country.Applied() ||
        !board.Create(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Enum\\PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03"))
        throw ShotFailed("cannot prepare the registry");
    Program program;
    std::string exe = folder + "\\PYXET.EXE";
    std::string error;
    if (!program.Start(exe, exe + shot.Argument, folder, &error))
        throw ShotFailed(error);
    WriteState(stateFile, ReadyLine(shot.Show(program)));
    WaitUntil([&] { return FileExists(stateFile + ".done"); }, kPictureTakenMs);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    try {
        TakeShot(FindShot(argv[1]), argv[2], argv[3]);
    } catch (const ShotFailed& failure) {
        WriteState(argv[3], std::string("error ") + failure.what());
        return 1;
    }
    return 0;
}
