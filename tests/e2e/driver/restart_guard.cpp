// The hidden window that refuses to let the Windows session end.
#include "driver/restart_guard.h"

namespace {

const char kGuardClass[] = "PyxetTestRestartGuard";
int RequestsSeen = 0;

LRESULT CALLBACK GuardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_QUERYENDSESSION:
        ++RequestsSeen;
        return FALSE;
    case WM_ENDSESSION:
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

RestartGuard::RestartGuard()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = GuardProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kGuardClass;
    RegisterClassA(&windowClass);
    // A top-level window, not a message-only one: only top-level windows are
    // asked whether the session may end.
    window_ = CreateWindowExA(0, kGuardClass, "Restart guard", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    RequestsSeen = 0;
}

RestartGuard::~RestartGuard()
{
    if (window_ != nullptr)
        DestroyWindow(window_);
}

int RestartGuard::Requests() const
{
    return RequestsSeen;
}
