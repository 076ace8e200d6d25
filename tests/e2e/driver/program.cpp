// Starting, watching and ending the program under test.
#include "driver/program.h"

#include "driver/wait.h"

namespace {

const DWORD kTerminateWaitMs = 5000;

struct WindowSearch {
    DWORD ProcessId;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM lParam)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->ProcessId)
        search->Found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId)
{
    WindowSearch search = {processId, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::string ClassOf(HWND window)
{
    char name[256];
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

// The caption as the system keeps it: reading it sends no message, so a
// busy program cannot stall the search.
std::string StoredCaption(HWND window)
{
    char caption[512];
    int length = GetWindowTextA(window, caption, sizeof caption);
    return std::string(caption, length > 0 ? length : 0);
}

bool IsDialogClass(HWND window)
{
    return ClassOf(window) == "#32770";
}

}  // namespace

Program::~Program()
{
    Terminate();
    if (process_.hProcess != nullptr) {
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

bool Program::Start(const std::string& exePath, const std::string& commandLine,
                    const std::string& currentFolder, std::string* error)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    // CreateProcessA may write into the command line it is given.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(exePath.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentFolder.c_str(), &startup, &process_)) {
        *error = "CreateProcess of " + exePath + " failed with error " +
                 std::to_string(GetLastError());
        process_ = {};
        return false;
    }
    return true;
}

bool Program::IsRunning() const
{
    return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForEnd(DWORD timeoutMs) const
{
    return WaitUntil([this] { return !IsRunning(); }, timeoutMs);
}

DWORD Program::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void Program::Terminate()
{
    if (!IsRunning())
        return;
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, kTerminateWaitMs);
}

double Program::CpuMs() const
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process_.hProcess, &created, &ended, &kernel, &user))
        return -1;
    auto ticks = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    // FILETIME counts 100-nanosecond ticks.
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

std::vector<Window> Program::Dialogs() const
{
    std::vector<Window> dialogs;
    for (HWND window : TopLevelWindowsOf(process_.dwProcessId)) {
        if (IsDialogClass(window) && IsWindowVisible(window))
            dialogs.emplace_back(window);
    }
    return dialogs;
}

Window Program::FindDialog(const std::string& caption) const
{
    for (const Window& dialog : Dialogs()) {
        if (StoredCaption(dialog.Handle()) == caption)
            return dialog;
    }
    return Window();
}

std::string Program::DescribeWindows() const
{
    std::string description;
    for (HWND window : TopLevelWindowsOf(process_.dwProcessId)) {
        if (!description.empty())
            description += ", ";
        description += ClassOf(window) + " \"" + StoredCaption(window) + "\"";
        if (IsDialogClass(window) && Window(window).HasControl(0xFFFF))
            description += " saying \"" + Window(window).MessageText() + "\"";
        if (!IsWindowVisible(window))
            description += " (hidden)";
        else if (IsIconic(window))
            description += " (minimized)";
    }
    return description.empty() ? "no window" : description;
}
