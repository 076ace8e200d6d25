// The end-to-end scenarios, each a short list of steps on a Run.
#pragma once

#include <string>

#include "harness/run.h"

struct Scenario {
    const char* Name;
    void (*Steps)(Run& run);
};

// The scenario with this name, or null.
const Scenario* FindScenario(const std::string& name);
