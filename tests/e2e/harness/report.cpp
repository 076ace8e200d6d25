// Failure lines of a scenario.
#include "harness/report.h"

#include <cstdio>

void Report::Fail(const std::string& what)
{
    ++failures_;
    std::printf("FAIL: %s\n", what.c_str());
    std::fflush(stdout);
}

void Report::Abort(const std::string& what)
{
    Fail(what);
    throw ScenarioAborted();
}

void Report::Note(const std::string& what)
{
    std::printf("%s\n", what.c_str());
    std::fflush(stdout);
}
