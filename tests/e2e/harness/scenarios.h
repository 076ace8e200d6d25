// The end-to-end scenarios, each a short list of steps on a Run.
#pragma once

#include <string>

#include "harness/run.h"

// One row of the scenario table: everything a scenario needs, so that a
// renamed scenario keeps it. The last two columns may be left out.
struct Scenario {
    const char* Name;
    void (*Steps)(Run& run);
    // The program's folder, where the scenario needs one of a chosen length
    // on the drive T: (scripts/wine-session.sh maps it); empty: the work
    // folder that the harness's command line names.
    std::string FolderOnDriveT = {};
    // How CTest runs it, read by tests/e2e/CMakeLists.txt: blank-separated
    // words, none for the usual run. See the table in scenarios.cpp.
    const char* Runs = "";
};

// The scenario with this name, or null.
const Scenario* FindScenario(const std::string& name);
