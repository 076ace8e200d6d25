// What a scenario found: one line on standard output per failed step, and
// whether the scenario passed.
#pragma once

#include <string>

// Thrown when a step fails in a way that leaves nothing sensible to check
// after it (an expected window never appeared); the scenario ends there.
struct ScenarioAborted {};

class Report {
public:
    void Fail(const std::string& what);
    [[noreturn]] void Abort(const std::string& what);
    // A line that is not a failure, such as a measurement.
    void Note(const std::string& what);
    bool Passed() const { return failures_ == 0; }

private:
    int failures_ = 0;
};
