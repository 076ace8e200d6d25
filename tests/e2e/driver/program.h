// A program under test: started with an exact command line and current
// folder, watched until it ends, and ended by force when a test gives up.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver/window.h"

class Program {
public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    // A program still running when its test is over is ended by force.
    ~Program();

    // Starts exePath with exactly commandLine (program name included) in
    // currentFolder. On failure returns false with the reason in *error.
    bool Start(const std::string& exePath, const std::string& commandLine,
               const std::string& currentFolder, std::string* error);
    bool IsRunning() const;
    // False when the program is still running after timeoutMs.
    bool WaitForEnd(DWORD timeoutMs) const;
    // The exit code of an ended program; -1 reads as 0xFFFFFFFF.
    DWORD ExitCode() const;
    void Terminate();
    // The processor time the program has used so far, user and kernel.
    double CpuMs() const;

    // The program's visible dialogs and message boxes (class "#32770").
    std::vector<Window> Dialogs() const;
    // Its visible dialog or message box with exactly this caption, or an
    // empty Window.
    Window FindDialog(const std::string& caption) const;
    // Every top-level window of the program, for failure messages.
    std::string DescribeWindows() const;

private:
    PROCESS_INFORMATION process_ = {};
};
