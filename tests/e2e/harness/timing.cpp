// Interleaved start-up measurements of PYXET.EXE and the minimal dialog program.
#include "harness/timing.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char kMinimalCaption[] = "Minimal dialog";  // minimal_dialog.rc

// Four rows that the real probe library looks for in the registry in vain,
// so that detection does all its work before the dialog.
const std::vector<std::string> kRows = {
    "Zeta 440LX,8086,7180,0,3,ZETA\\SETUP.EXE,0",
    "Alpha MVP3,1106,0598,0,3,ALPHA\\SETUP.EXE,0",
    "Mid Aladdin,10B9,1541,0,3,MID\\SETUP.EXE,0",
    "Beta Apollo,1106,0691,0,3,BETA\\SETUP.EXE,0",
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

StartupTimes MeasureStartup(Run& run, int rounds)
{
    run.UseRealProbeLibrary();
    run.Settings(EnglishTexts().Drivers(kRows));
    const std::string pyxet = run.Path("PYXET.EXE");
    const std::string minimal = run.TestProgram("minimal_dialog.exe");
    std::vector<double> pyxetMs;
    std::vector<double> minimalMs;
    for (int round = 0; round < rounds; ++round) {
        pyxetMs.push_back(run.MeasureStartToDialog(pyxet, pyxet, english::DetectCaption));
        minimalMs.push_back(run.MeasureStartToDialog(minimal, minimal, kMinimalCaption));
    }
    return {rounds, Median(pyxetMs), Median(minimalMs)};
}

std::string DescribeStartup(const StartupTimes& times)
{
    char line[200];
    std::snprintf(line, sizeof line,
                  "start to visible dialog, median of %d interleaved rounds: PYXET.EXE %.1f ms, "
                  "minimal dialog %.1f ms, ratio %.2f",
                  times.Rounds, times.ProgramMedianMs, times.MinimalMedianMs, times.Ratio());
    return line;
}
