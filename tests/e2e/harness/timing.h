// Start-up time: from process start to the first visible dialog, PYXET.EXE
// against a minimal program that only shows a dialog, measured in turns in
// the same run, so that the ratio means something on a noisy machine.
#pragma once

#include <string>

#include "harness/run.h"

struct StartupTimes {
    int Rounds;
    double ProgramMedianMs;  // PYXET.EXE to its detection dialog
    double MinimalMedianMs;  // minimal_dialog.exe to its dialog
    double Ratio() const { return ProgramMedianMs / MinimalMedianMs; }
};

// Prepares run (the real probe library and a table of four rows, none of
// them present) and measures rounds interleaved starts of each program.
StartupTimes MeasureStartup(Run& run, int rounds);
std::string DescribeStartup(const StartupTimes& times);
