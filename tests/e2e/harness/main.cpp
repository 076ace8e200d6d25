// The end-to-end harness: runs one scenario against PYXET.EXE under Wine.
//
//   e2e_harness.exe SCENARIO WORK_FOLDER PYXET.EXE REAL_ENUM.DLL TEST_PROGRAMS
//
// WORK_FOLDER is emptied and becomes the program's folder, unless the
// scenario's row names a folder on the drive T: instead; TEST_PROGRAMS
// holds the test ENUM.DLL, SETUP.EXE and minimal_dialog.exe. Prints one line
// per failed step and exits 0 when the scenario passed, 1 when it failed and
// 2 when it was called wrongly.
#include <cstdio>

#include "driver/restart_guard.h"
#include "harness/scenarios.h"

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::printf("usage: e2e_harness SCENARIO WORK_FOLDER PYXET.EXE REAL_ENUM.DLL TEST_PROGRAMS\n");
        return 2;
    }
    const Scenario* scenario = FindScenario(argv[1]);
    if (scenario == nullptr) {
        std::printf("e2e_harness: no scenario named %s\n", argv[1]);
        return 2;
    }
    const std::string work = scenario->FolderOnDriveT.empty() ? argv[2] : scenario->FolderOnDriveT;
    HarnessPaths paths = {work, argv[3], argv[4], argv[5]};
    Report report;
    RestartGuard guard;
    try {
        Run run(paths, report, guard);
        scenario->Steps(run);
        run.Finish();
    } catch (const ScenarioAborted&) {
        // The failing step has been reported; the run has cleaned up.
    }
    std::printf("%s %s\n", report.Passed() ? "PASS" : "FAIL", scenario->Name);
    return report.Passed() ? 0 : 1;
}
