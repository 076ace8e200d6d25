// The soak run behind make soak: many whole runs of PYXET.EXE in a row, each
// along a path chosen at random (and logged): warnings answered Yes or No,
// the chipset detected or not, its row installed or another one picked,
// Exit, setup programs holding either kind of window, the restart offered
// and answered OK or Exit. Each run's outcome is checked against what its
// path must do; at the end no program or setup program may be left, nor a
// window of theirs, and the Wine session must still start a program.
//
//   e2e_soak.exe WORK_FOLDER PYXET.EXE REAL_ENUM.DLL TEST_PROGRAMS RUNS [SEED]
//
// The seed is printed first; passing it again repeats the same paths.
// Exits 0 when every run and the final checks passed, 1 otherwise.
//
// After a failed run it prints what the program's calls of WinExec returned
// (the test probe library records them) and, where PYXET_WINE_DEBUG_LOG
// names the file that Wine's debug output goes to (scripts/wine-harness.sh),
// the part of it that the run added.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "common/test_files.h"
#include "driver/restart_guard.h"
#include "driver/wait.h"
#include "harness/run.h"

namespace {

const char kBoard[] = "8086 7190";
const int kRows = 3;
const char* const kPackages[kRows] = {"PKGA", "PKGB", "PKGC"};
const char* const kNames[kRows] = {"Soak Board", "Soak Other", "Soak Third"};
// Row 0 is the board's chipset; the others are never present.
const char* const kCodes[kRows] = {"8086,7190", "1106,0598", "10B9,1541"};
const DWORD kLeftoverWaitMs = 15000;
const int kWorkFolders = 4;

enum class SetupWindow { None, Title, Class };
enum class Choice { InstallDetected, PickFromList, ExitInDetection, ExitInSelection };

// One run's path through the program, drawn from the generator.
struct Route {
    bool earlyBuild;        // Windows 95 build 950: the early-build warning
    bool earlyBuildYes;
    bool agpWarning;
    bool agpWarningYes;
    bool detected;
    bool argument;          // a command-line argument: Exit offers a restart
    Choice choice;
    int pickedRow;          // for PickFromList
    SetupWindow window[kRows];
    bool restartFlag[kRows];
    bool restartOk;         // the answer in the restart dialog
};

Route DrawRoute(std::mt19937& random)
{
    auto coin = [&random] { return (random() & 1) != 0; };
    Route route = {};
    route.earlyBuild = coin();
    route.earlyBuildYes = random() % 4 != 0;
    route.agpWarning = coin();
    route.agpWarningYes = random() % 4 != 0;
    route.detected = coin();
    route.argument = coin();
    const Choice detectedChoices[] = {Choice::InstallDetected, Choice::PickFromList, Choice::ExitInDetection,
                                      Choice::ExitInSelection};
    const Choice undetectedChoices[] = {Choice::PickFromList, Choice::ExitInDetection, Choice::ExitInSelection};
    route.choice = route.detected ? detectedChoices[random() % 4] : undetectedChoices[random() % 3];
    route.pickedRow = static_cast<int>(random() % kRows);
    for (int row = 0; row < kRows; ++row) {
        route.window[row] = static_cast<SetupWindow>(random() % 3);
        route.restartFlag[row] = coin();
    }
    route.restartOk = coin();
    return route;
}

const char* WindowArgument(SetupWindow window)
{
    return window == SetupWindow::Title ? " title 3000" : window == SetupWindow::Class ? " class 3000" : "";
}

std::string Command(const Route& route, int row)
{
    return std::string(kPackages[row]) + "\\SETUP.EXE" + WindowArgument(route.window[row]);
}

std::string Describe(const Route& route)
{
    static const char* const kChoices[] = {"install detected", "pick row", "Exit in detection",
                                           "Exit in selection"};
    static const char* const kWindows[] = {"none", "title", "class"};
    std::string text = std::string(route.earlyBuild ? "win95 early build " : "win98, ") +
                       (route.earlyBuild ? (route.earlyBuildYes ? "Yes, " : "No, ") : "") + "AGP warning " +
                       (route.agpWarning ? (route.agpWarningYes ? "Yes" : "No") : "off") +
                       (route.detected ? ", detected" : ", not detected") +
                       (route.argument ? ", argument" : ", no argument") + ", " +
                       kChoices[static_cast<int>(route.choice)];
    if (route.choice == Choice::PickFromList)
        text += " " + std::to_string(route.pickedRow);
    text += "; rows (window/restart):";
    for (int row = 0; row < kRows; ++row)
        text += std::string(" ") + kWindows[static_cast<int>(route.window[row])] + "/" +
                (route.restartFlag[row] ? "1" : "0");
    return text + (route.restartOk ? "; restart OK" : "; restart Exit");
}

void Prepare(Run& run, const Route& route)
{
    std::vector<std::string> rows;
    for (int row = 0; row < kRows; ++row) {
        rows.push_back(std::string(kNames[row]) + "," + kCodes[row] + ",0,3," + Command(route, row) + "," +
                       (route.restartFlag[row] ? "1" : "0"));
        run.SetupProgram(kPackages[row]);
    }
    run.Settings(EnglishTexts().Set("1", "PCIWarningDlg", route.agpWarning ? "1" : "0").Drivers(rows));
    run.PresentDevices(route.detected ? std::vector<std::string>{kBoard} : std::vector<std::string>{});
    run.Windows(route.earlyBuild ? "win95" : "win98");
    if (route.argument)
        run.StartWithArgument("/soak");
    else
        run.Start();
}

// Answers a warning; false when the answer ends the program.
bool AnswerWarning(Run& run, const std::string& caption, bool yes)
{
    run.WaitForDialog(caption).Choose(yes ? kYes : kNo);
    return yes;
}

// The restart dialog, once it is up: waits for a setup window to close
// where there is one, then answers.
void AnswerRestart(Run& run, const Route& route, bool setupWindowOpen)
{
    Dialog restart = run.WaitForRestartDialog();
    if (setupWindowOpen) {
        run.KeepMinimizedAfterItsOwnRequest(restart);
        run.ExpectMinimizedUntilSetupWindowCloses(restart);
    }
    restart.Choose(route.restartOk ? kOk : kExit);
    if (route.restartOk)
        run.ExpectRestartRequested();
    else
        run.ExpectNoRestartRequest();
}

// The row the path installs, or -1 when it leaves with Exit.
int ChooseRow(Run& run, const Route& route)
{
    Dialog detect = run.WaitForDialog(english::DetectCaption);
    if (route.choice == Choice::ExitInDetection) {
        detect.Choose(kExit);
        return -1;
    }
    if (route.choice == Choice::InstallDetected) {
        detect.ExpectChecked(kInstallYes, true);
        detect.Choose(kOk);
        return 0;
    }
    if (route.detected)
        detect.Press(kInstallNo);
    detect.Choose(kOk);
    Dialog select = run.WaitForDialog(english::SelectCaption);
    if (route.choice == Choice::ExitInSelection) {
        select.Choose(kExit);
        return -1;
    }
    select.SelectComboItem(kDriverList, route.pickedRow);
    select.Choose(kOk);
    return route.pickedRow;
}

void Walk(Run& run, const Route& route)
{
    Prepare(run, route);
    if (route.earlyBuild && !AnswerWarning(run, english::Win95CheckCaption, route.earlyBuildYes)) {
        run.ExpectEndsWith(0);
        run.ExpectNothingStarted();
        return;
    }
    if (route.agpWarning && !AnswerWarning(run, english::AgpOnlyCaption, route.agpWarningYes)) {
        run.ExpectEndsWith(0);
        run.ExpectNothingStarted();
        return;
    }
    int row = ChooseRow(run, route);
    if (row < 0) {
        if (route.argument)
            AnswerRestart(run, route, false);
        else
            run.ExpectNoRestartRequest();
        run.ExpectEndsWith(0);
        run.ExpectNothingStarted();
        return;
    }
    run.ExpectSetupStarted(run.Path(kPackages[row]), Command(route, row), run.Path(kPackages[row]));
    if (route.restartFlag[row])
        AnswerRestart(run, route, route.window[row] != SetupWindow::None);
    else
        run.ExpectNoRestartRequest();
    run.ExpectEndsWith(0);
}

// The file Wine's debug output goes to: where it ended when a run began,
// and what was written to it since.
class DebugLog {
public:
    DebugLog()
    {
        char path[MAX_PATH];
        DWORD length = GetEnvironmentVariableA("PYXET_WINE_DEBUG_LOG", path, sizeof path);
        if (length > 0 && length < sizeof path)
            path_.assign(path, length);
    }

    void Mark() { mark_ = Size(); }

    void PrintSinceMark() const
    {
        if (path_.empty())
            return;
        std::string added = ReadFrom(mark_);
        std::printf("  Wine's debug output during the run (%s):\n%s", path_.c_str(), added.c_str());
        if (!added.empty() && added.back() != '\n')
            std::printf("\n");
        std::printf("  end of Wine's debug output\n");
    }

private:
    ULONGLONG Size() const
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (path_.empty() || !GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &data))
            return 0;
        return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    std::string ReadFrom(ULONGLONG offset) const
    {
        std::string text;
        HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return text;
        LARGE_INTEGER start;
        start.QuadPart = static_cast<LONGLONG>(offset);
        char buffer[4096];
        DWORD read;
        if (SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
            while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read != 0)
                text.append(buffer, read);
        }
        CloseHandle(file);
        return text;
    }

    std::string path_;
    ULONGLONG mark_ = 0;
};

// What the program's WinExec calls returned, as the test probe library
// recorded them in the work folder's events.log.
void PrintWinExecResults(const HarnessPaths& paths)
{
    for (const std::string& line : ReadLines(paths.WorkFolder + "\\events.log")) {
        if (line.compare(0, 8, "winexec ") == 0)
            std::printf("  %s\n", line.c_str());
    }
}

bool SoakRun(const HarnessPaths& paths, const Route& route, RestartGuard& guard)
{
    Report report;
    try {
        Run run(paths, report, guard);
        Walk(run, route);
        run.Finish();
    } catch (const ScenarioAborted&) {
        // Reported; the next run starts afresh.
    }
    return report.Passed();
}

// Running processes with this executable name, compared without regard to case.
int CountProcesses(const char* name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, name) == 0)
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// Wine ends a session in wineboot.exe, which a restart request starts and
// which may still be asking processes, and ending those that agree, after
// the run that asked has finished; the next run waits until it is over.
bool SessionEndOver()
{
    if (WaitUntil([] { return CountProcesses("wineboot.exe") == 0; }, kLeftoverWaitMs))
        return true;
    std::printf("  wineboot.exe, which ends the session, was still running %lu ms after the run\n",
                static_cast<unsigned long>(kLeftoverWaitMs));
    return false;
}

bool NothingLeft()
{
    return CountProcesses("PYXET.EXE") == 0 && CountProcesses("SETUP.EXE") == 0 &&
           FindWindowA("Pyxet", nullptr) == nullptr && !Run::SetupWindowExists();
}

// No program, setup program or window of theirs left, and the session
// still starts a program and shows its dialog.
bool FinalChecks(const HarnessPaths& paths, RestartGuard& guard)
{
    Report report;
    if (!WaitUntil(NothingLeft, kLeftoverWaitMs)) {
        report.Fail("left behind: " + std::to_string(CountProcesses("PYXET.EXE")) + " PYXET.EXE, " +
                    std::to_string(CountProcesses("SETUP.EXE")) + " SETUP.EXE, main window " +
                    (FindWindowA("Pyxet", nullptr) != nullptr ? "yes" : "no") + ", setup window " +
                    (Run::SetupWindowExists() ? "yes" : "no"));
    }
    try {
        HarnessPaths own = paths;
        own.WorkFolder += "\\health";
        Run run(own, report, guard);
        const std::string minimal = run.TestProgram("minimal_dialog.exe");
        double ms = run.MeasureStartToDialog(minimal, minimal, "Minimal dialog");
        report.Note("session healthy: the minimal dialog program showed its dialog after " +
                    std::to_string(static_cast<int>(ms)) + " ms");
    } catch (const ScenarioAborted&) {
        // Reported.
    }
    return report.Passed();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6 && argc != 7) {
        std::printf("usage: e2e_soak WORK_FOLDER PYXET.EXE REAL_ENUM.DLL TEST_PROGRAMS RUNS [SEED]\n");
        return 2;
    }
    HarnessPaths paths = {argv[1], argv[2], argv[3], argv[4]};
    const int runs = std::atoi(argv[5]);
    const unsigned seed = argc == 7 ? static_cast<unsigned>(std::strtoul(argv[6], nullptr, 10))
                                    : static_cast<unsigned>(GetTickCount() ^ GetCurrentProcessId());
    std::printf("soak: seed %u, %d runs (repeat with SOAK_SEED=%u)\n", seed, runs, seed);
    std::fflush(stdout);
    std::mt19937 random(seed);
    int failed = 0;
    DebugLog debugLog;
    // One guard for the whole soak. Wine's end of session, which a restart
    // request starts, goes on after the run that asked: it asks each
    // process in turn, and ends every one whose windows all agree, until
    // one refuses. A guard made per run could be gone by the time the
    // question reaches this process, which would then be ended.
    RestartGuard guard;
    Stopwatch clock;
    for (int i = 1; i <= runs; ++i) {
        Route route = DrawRoute(random);
        std::printf("run %d: %s\n", i, Describe(route).c_str());
        std::fflush(stdout);
        // Runs take turns in a few folders: a setup program may still be
        // ending in the folder of the run before, which cannot be emptied.
        HarnessPaths own = paths;
        own.WorkFolder += "\\run" + std::to_string(i % kWorkFolders);
        debugLog.Mark();
        bool passed = SoakRun(own, route, guard);
        passed = SessionEndOver() && passed;
        if (!passed) {
            ++failed;
            std::printf("run %d FAILED\n", i);
            PrintWinExecResults(own);
            debugLog.PrintSinceMark();
            std::fflush(stdout);
        }
    }
    bool finalPassed = FinalChecks(paths, guard);
    std::printf("soak: seed %u, %d runs, %d failed, final checks %s, %.0f s\n", seed, runs, failed,
                finalPassed ? "passed" : "FAILED", clock.ElapsedMs() / 1000);
    return failed == 0 && finalPassed ? 0 : 1;
}
