// Observes a request to restart Windows without letting it happen. ExitWindowsEx
// asks every top-level window whether the session may end
// (WM_QUERYENDSESSION); this hidden window of the test program answers No,
// which cancels the restart, and counts the questions. It must live on a
// thread that pumps messages: every wait in driver/wait.h does.
#pragma once

#include <windows.h>

class RestartGuard {
public:
    RestartGuard();
    RestartGuard(const RestartGuard&) = delete;
    RestartGuard& operator=(const RestartGuard&) = delete;
    ~RestartGuard();

    bool IsReady() const { return window_ != nullptr; }
    // How often the session was asked to end since the guard was made.
    int Requests() const;

private:
    HWND window_ = nullptr;
};
