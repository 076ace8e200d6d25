// Waiting without blocking: every wait of the test programs keeps their own
// windows answering (the restart guard must reply while the program under
// test asks) and ends after a timeout, so a hung program fails its test
// instead of hanging the run.
#pragma once

#include <windows.h>

#include <functional>

// Handles every message waiting for this thread's windows.
void PumpMessages();

// Polls condition, pumping messages between polls, until it holds (true) or
// timeoutMs have passed (false).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 20);

// Pumps messages for the given time.
void PumpFor(DWORD ms);

// Elapsed time with sub-millisecond resolution.
class Stopwatch {
public:
    Stopwatch();
    double ElapsedMs() const;

private:
    LARGE_INTEGER start_;
};
