// The benchmark behind make bench: PYXET.EXE's start-up time against the
// minimal dialog program, the processor time it uses while the restart
// dialog waits for a setup window, and the cost of one probe of the real
// ENUM.DLL against a Configuration Manager list of 60 device nodes. It reports figures and asserts none:
// test machines are too noisy for a timing to fail a build.
//
//   e2e_bench.exe WORK_FOLDER PYXET.EXE REAL_ENUM.DLL TEST_PROGRAMS
//
// Exits 0 when every measurement could be made, 1 when one could not.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/import_slot.h"

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

// The probe's cost ---------------------------------------------------------

const int kDeviceNodes = 60;
const int kProbeRounds = 21;
const int kLaterProbes = 1000;
// The host bridge that the probe looks for: the list's last node.
const DWORD kProbedVendor = 0x1106;
const DWORD kProbedDevice = 0x0305;

std::string RealProbePath;  // the real ENUM.DLL
int RegistryCalls;          // ENUM.DLL's calls of the registry since the last reset

LONG WINAPI CountedRegOpenKeyExA(HKEY key, LPCSTR path, DWORD options, REGSAM access, PHKEY result)
{
    ++RegistryCalls;
    return RegOpenKeyExA(key, path, options, access, result);
}

LONG WINAPI CountedRegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD length, LPDWORD reserved,
                                 LPSTR className, LPDWORD classLength, PFILETIME written)
{
    ++RegistryCalls;
    return RegEnumKeyExA(key, index, name, length, reserved, className, classLength, written);
}

LONG WINAPI CountedRegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                    LPDWORD size)
{
    ++RegistryCalls;
    return RegQueryValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI CountedRegCloseKey(HKEY key)
{
    ++RegistryCalls;
    return RegCloseKey(key);
}

typedef DWORD(WINAPI* ProbeFunction)(DWORD, DWORD, char*);

// ENUM.DLL loaded anew, so that its first probe reads the list again, with
// its registry calls counted.
class LoadedProbe {
public:
    explicit LoadedProbe(Report& report) : module_(LoadLibraryA(RealProbePath.c_str()))
    {
        if (module_ == nullptr)
            report.Abort("cannot load " + RealProbePath + ": error " + std::to_string(GetLastError()));
        probe_ = reinterpret_cast<ProbeFunction>(reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(1))));
        const struct {
            const char* Name;
            void* Counted;
        } registry[] = {
            {"RegOpenKeyExA", reinterpret_cast<void*>(CountedRegOpenKeyExA)},
            {"RegEnumKeyExA", reinterpret_cast<void*>(CountedRegEnumKeyExA)},
            {"RegQueryValueExA", reinterpret_cast<void*>(CountedRegQueryValueExA)},
            {"RegCloseKey", reinterpret_cast<void*>(CountedRegCloseKey)},
        };
        for (const auto& function : registry) {
            if (!RedirectImport(module_, ExportedFunction("advapi32.dll", function.Name), function.Counted))
                report.Abort(RealProbePath + " imports no " + function.Name + " that could be watched");
        }
        if (probe_ == nullptr)
            report.Abort(RealProbePath + " has no export with ordinal 1");
    }
    LoadedProbe(const LoadedProbe&) = delete;
    LoadedProbe& operator=(const LoadedProbe&) = delete;
    ~LoadedProbe() { FreeLibrary(module_); }

    // Microseconds one probe takes; its registry calls are in RegistryCalls.
    double TimedProbe(bool* present)
    {
        char buffer[128];
        RegistryCalls = 0;
        Stopwatch clock;
        *present = probe_(kProbedVendor, kProbedDevice, buffer) != 0;
        return clock.ElapsedMs() * 1000;
    }

private:
    HMODULE module_;
    ProbeFunction probe_ = nullptr;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// 60 device nodes as a Windows 98 machine lists them: the board's own and
// its buses first, 19 PCI functions, the host bridge looked for last.
void AddSixtyDeviceNodes(Run& run)
{
    const int pciNodes = 20;
    for (int i = 0; i < kDeviceNodes - pciNodes; ++i)
        run.AddDeviceNode("Root\\*PNP0C" + std::to_string(10 + i) + "\\0000");
    for (int i = 1; i < pciNodes; ++i)
        run.AddDeviceNode("PCI\\VEN_8086&DEV_71" + std::to_string(10 + i) +
                          "&SUBSYS_00000000&REV_01\\BUS_00&DEV_" + std::to_string(10 + i) + "&FUNC_00");
    run.AddDeviceNode("PCI\\VEN_1106&DEV_0305&SUBSYS_00000000&REV_02\\BUS_00&DEV_00&FUNC_00");
}

std::string ProbeLine(const char* which, double medianUs, int calls)
{
    char line[200];
    std::snprintf(line, sizeof line, "ENUM.DLL, %s against %d device nodes: median %.1f us, %d registry calls",
                  which, kDeviceNodes, medianUs, calls);
    return line;
}

void BenchProbe(Run& run)
{
    AddSixtyDeviceNodes(run);
    std::vector<double> firstUs;
    std::vector<double> laterUs;
    int firstCalls = 0;
    int laterCalls = 0;
    bool present = true;
    for (int round = 0; round < kProbeRounds && present; ++round) {
        LoadedProbe probe(run.Findings());
        firstUs.push_back(probe.TimedProbe(&present));
        firstCalls = RegistryCalls;
        for (int i = 0; i < kLaterProbes / kProbeRounds && present; ++i) {
            laterUs.push_back(probe.TimedProbe(&present));
            laterCalls = std::max(laterCalls, RegistryCalls);
        }
    }
    if (!present)
        run.Findings().Abort("ENUM.DLL did not find the host bridge of the device node list");
    run.Findings().Note(ProbeLine("first probe of a run (reads the list)", Median(firstUs), firstCalls));
    run.Findings().Note(ProbeLine("each later probe", Median(laterUs), laterCalls));
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
    RealProbePath = paths.RealProbe;
    bool startup = Bench(paths, "startup", BenchStartup);
    bool restartWait = Bench(paths, "restart_wait", BenchRestartWait);
    bool probe = Bench(paths, "probe", BenchProbe);
    return startup && restartWait && probe ? 0 : 1;
}
