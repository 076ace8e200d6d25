// The benchmark behind make bench: PYXET.EXE's start-up time against the
// minimal dialog program, and the processor time it uses while the restart
// dialog waits for a setup window. It reports figures and asserts none:
// test machines are too noisy for a timing to fail a build.
//
//   e2e_bench.exe WORK_FOLDER PYXET.EXE REAL_ENUM.DLL TEST_PROGRAMS
//
// Exits 0 when both measurements could be made, 1 when one could not.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "driver/program.h"
#include "driver/restart_guard.h"
#include "driver/wait.h"
#include "harness/run.h"
#include "harness/timing.h"

namespace {

const int kStartupRounds = 21;
const DWORD kIdleMs = 10000;
// The setup window outlives the measurement, so the dialog waits throughout.
// Wine reports processor time in 10 ms ticks.
const char kHoldingRow[] = "Intel 440BX,8086,7190,0,3,BX\\SETUP.EXE title 14000,1";
const char kMinimalCaption[] = "Minimal dialog";  // minimal_dialog.rc

void BenchStartup(Run& run)
{
    run.Findings().Note(DescribeStartup(MeasureStartup(run, kStartupRounds)));
}

// Processor time a program uses over kIdleMs while it only waits, in ms.
double IdleCpuMs(const std::function<double()>& cpuMs)
{
    const double before = cpuMs();
    PumpFor(kIdleMs);
    return cpuMs() - before;
}

std::string CpuLine(const char* what, double usedMs)
{
    char line[200];
    std::snprintf(line, sizeof line, "%s: %.0f ms of CPU in %.0f s (%.2f %%)", what, usedMs, kIdleMs / 1000.0,
                  100 * usedMs / kIdleMs);
    return line;
}

// The baseline: the minimal dialog program showing its dialog and nothing
// else, which is all the CPU Wine itself spends on an idle dialog.
double BenchIdleMinimalDialog(Run& run)
{
    const std::string minimal = run.TestProgram("minimal_dialog.exe");
    Program program;
    std::string error;
    if (!program.Start(minimal, minimal, run.Path("start"), &error))
        run.Findings().Abort(error);
    Window window;
    if (!WaitUntil([&] { return (window = program.FindDialog(kMinimalCaption)).Exists(); }, 10000))
        run.Findings().Abort("the minimal dialog program showed no dialog");
    double usedMs = IdleCpuMs([&] { return program.CpuMs(); });
    Dialog(window, kMinimalCaption, run.Findings()).Choose(kExit);
    return usedMs;
}

// Up to the restart dialog waiting minimized for the setup program's window,
// then ten seconds of watching; the dialog wakes only on its timer. The same
// for the minimal dialog program, idle, and the ratio of the two.
void BenchRestartWait(Run& run)
{
    run.Settings(EnglishTexts().Drivers({kHoldingRow}));
    run.PresentDevices({"8086 7190"});
    run.SetupProgram("BX");
    run.Start();
    run.WaitForDialog(english::DetectCaption).Choose(kOk);
    Dialog restart = run.WaitForRestartDialog();
    run.KeepMinimizedAfterItsOwnRequest(restart);
    const double waitingMs = IdleCpuMs([&] { return run.ProgramCpuMs(); });
    if (!Run::SetupWindowExists() || !restart.IsMinimized())
        run.Findings().Abort("the setup window closed or the dialog was restored during the measurement");
    run.ExpectMinimizedUntilSetupWindowCloses(restart);
    restart.Choose(kExit);
    run.ExpectEndsWith(0);

    const double baselineMs = BenchIdleMinimalDialog(run);
    run.Findings().Note(CpuLine("restart dialog waiting for a setup window, PYXET.EXE", waitingMs));
    run.Findings().Note(CpuLine("minimal dialog program, idle", baselineMs));
    char ratio[80];
    std::snprintf(ratio, sizeof ratio, "CPU while waiting against an idle dialog: ratio %.2f",
                  waitingMs / std::max(baselineMs, 1.0));
    run.Findings().Note(ratio);
}

bool Bench(const HarnessPaths& paths, const std::string& part, void (*steps)(Run&))
{
    HarnessPaths own = paths;
    own.WorkFolder += "\\" + part;
    Report report;
    RestartGuard guard;
    try {
        Run run(own, report, guard);
        steps(run);
        run.Finish();
    } catch (const ScenarioAborted&) {
        // Reported already; the other measurement still runs.
    }
    return report.Passed();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::printf("usage: e2e_bench WORK_FOLDER PYXET.EXE REAL_ENUM.DLL TEST_PROGRAMS\n");
        return 2;
    }
    HarnessPaths paths = {argv[1], argv[2], argv[3], argv[4]};
    bool startup = Bench(paths, "startup", BenchStartup);
    bool restartWait = Bench(paths, "restart_wait", BenchRestartWait);
    return startup && restartWait ? 0 : 1;
}
