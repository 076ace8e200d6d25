// One scenario's run of PYXET.EXE: preparing, starting, watching, cleaning up.
#include "harness/run.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "common/test_files.h"
#include "driver/wait.h"

const char kRestartCaption[] = "Restart Windows";

namespace {

// Every wait for a window, a file or an exit gives up after this long.
const DWORD kWaitMs = 10000;
// A restart request arrives through wineboot, a process of its own, a
// moment after the program asked; this is how long its absence is watched.
const DWORD kRestartGraceMs = 1500;
// Wine shows a self-minimized dialog again right after it opens.
const DWORD kReshowWaitMs = 1000;
// The restart dialog looks for setup windows every 500 ms.
const DWORD kRestoreWithinMs = 1500;
// Below two of those looks, a wait that passed proves nothing.
const double kShortestConclusiveHoldMs = 1000;
const DWORD kSetupWindowLimitMs = 15000;

std::string Quote(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string joined = "[";
    for (const std::string& line : lines)
        joined += (joined.size() > 1 ? ", " : "") + Quote(line);
    return joined + "]";
}

std::string ExitCodeText(DWORD code)
{
    char text[48];
    std::snprintf(text, sizeof text, "0x%08lX (%ld)", code, static_cast<long>(code));
    return text;
}

std::string DeviceText(DWORD vendorCode, DWORD deviceCode)
{
    char text[32];
    std::snprintf(text, sizeof text, "vendor 0x%lX, device 0x%lX", vendorCode, deviceCode);
    return text;
}

// The values of the lines that begin with prefix, the prefix taken off.
std::vector<std::string> Values(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> values;
    for (const std::string& line : lines) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            values.push_back(line.substr(prefix.size()));
    }
    return values;
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    std::string result(full, length < sizeof full ? length : 0);
    while (result.size() > 3 && result.back() == '\\')
        result.pop_back();
    return result;
}

}  // namespace

bool Run::SetupWindowExists()
{
    return FindWindowA(nullptr, "Setup") != nullptr || FindWindowA("GLBSInstall", nullptr) != nullptr;
}

Run::Run(const HarnessPaths& paths, Report& report, RestartGuard& guard)
    : report_(report), guard_(guard), requestsBefore_(guard.Requests()), paths_(paths)
{
    paths_.WorkFolder = FullPath(paths.WorkFolder);
    // Command lines and current folders are compared exactly; Wine quotes a
    // program path with blanks in the command line it hands on.
    if (paths_.WorkFolder.empty() || paths_.WorkFolder.find(' ') != std::string::npos)
        report_.Abort("the work folder " + Quote(paths.WorkFolder) + " must be a path without blanks");
    if (!guard_.IsReady())
        report_.Abort("cannot create the window that refuses restart requests");
    if (!WaitUntil([] { return !SetupWindowExists(); }, kWaitMs))
        report_.Abort("a window titled \"Setup\" or of the class \"GLBSInstall\" is left from elsewhere");
    PrepareWorkFolder();
}

Run::~Run()
{
    program_.Terminate();
    std::error_code ignored;
    for (const std::string& folder : outsideFolders_)
        std::filesystem::remove_all(folder, ignored);
    if (realProbeModule_ != nullptr)
        FreeLibrary(realProbeModule_);
}

std::string Run::Path(const std::string& relative) const
{
    return paths_.WorkFolder + "\\" + relative;
}

std::string Run::TestProgram(const std::string& name) const
{
    return paths_.TestPrograms + "\\" + name;
}

void Run::PrepareWorkFolder()
{
    std::error_code error;
    std::filesystem::remove_all(paths_.WorkFolder, error);
    if (!error)
        std::filesystem::create_directories(Path("start"), error);
    if (error)
        report_.Abort("cannot make the work folder " + paths_.WorkFolder + ": " + error.message());
    Copy(paths_.Program, Path("PYXET.EXE"));
    Copy(TestProgram("ENUM.DLL"), Path("ENUM.DLL"));
}

void Run::Copy(const std::string& from, const std::string& to)
{
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        report_.Abort("cannot copy " + from + " to " + to + ": error " + std::to_string(GetLastError()));
}

void Run::Settings(const SettingsFile& settings)
{
    if (!WriteTextFile(Path("Pyxet.ini"), settings.Text()))
        report_.Abort("cannot write " + Path("Pyxet.ini"));
}

void Run::PresentDevices(const std::vector<std::string>& devices)
{
    std::string text;
    for (const std::string& device : devices)
        text += device + "\r\n";
    if (!WriteTextFile(Path("probe.txt"), text))
        report_.Abort("cannot write " + Path("probe.txt"));
}

void Run::SetupProgram(const std::string& folder)
{
    InstallSetupProgram(Path(folder));
}

void Run::SetupProgramOutside(const std::string& absoluteFolder)
{
    outsideFolders_.push_back(absoluteFolder);
    InstallSetupProgram(absoluteFolder);
}

void Run::InstallSetupProgram(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        report_.Abort("cannot make " + folder + ": " + error.message());
    setupFolders_.push_back(folder);
    Copy(TestProgram("SETUP.EXE"), folder + "\\SETUP.EXE");
}

void Run::UseRealProbeLibrary()
{
    Copy(paths_.RealProbe, Path("ENUM.DLL"));
}

void Run::Windows(const std::string& version)
{
    windowsVersion_ = version;
}

void Run::Country(const std::string& code)
{
    countryCode_ = code;
}

void Run::NoCountry()
{
    countryCode_.reset();
}

void Run::AddDeviceKey(const std::string& path)
{
    if (!deviceKeys_.Create(HKEY_LOCAL_MACHINE, path))
        report_.Abort("cannot create the registry key HKLM\\" + path);
}

void Run::AddDeviceNode(const std::string& hardwareKey)
{
    // Windows names a node's key by its device node's address in hexadecimal.
    char name[16];
    std::snprintf(name, sizeof name, "%08X", 0xC1D3A000u + 0x40u * static_cast<unsigned>(deviceNodes_++));
    const std::string path = std::string("Config Manager\\Enum\\") + name;
    HKEY key;
    bool made = deviceKeys_.Create(HKEY_DYN_DATA, path) &&
                RegOpenKeyExA(HKEY_DYN_DATA, path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS;
    if (made) {
        made = RegSetValueExA(key, "HardWareKey", 0, REG_SZ, reinterpret_cast<const BYTE*>(hardwareKey.c_str()),
                              static_cast<DWORD>(hardwareKey.size() + 1)) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    if (!made)
        report_.Abort("cannot create the device node HKEY_DYN_DATA\\" + path + " for " + hardwareKey);
}

// Both values are read by each new process, so they are set once, before
// the first start, and stay for the whole run.
void Run::ApplySystemSettings()
{
    if (versionOverride_)
        return;
    versionOverride_ = std::make_unique<RegistryValueOverride>(HKEY_CURRENT_USER, kWineVersionKey,
                                                               "Version", windowsVersion_);
    countryOverride_ = std::make_unique<RegistryValueOverride>(HKEY_CURRENT_USER, kInternationalKey,
                                                               "iCountry", countryCode_);
    if (!versionOverride_->Applied() || !countryOverride_->Applied())
        report_.Abort("cannot set the Windows version and the country code in the registry");
}

void Run::Start()
{
    StartWithTail("");
}

void Run::StartWithArgument(const std::string& argument)
{
    StartWithTail(" " + argument);
}

void Run::StartWithTail(const std::string& tail)
{
    ApplySystemSettings();
    std::string error;
    if (!program_.Start(Path("PYXET.EXE"), Path("PYXET.EXE") + tail, Path("start"), &error))
        report_.Abort(error);
}

void Run::StartFromDrive(const std::string& programPath)
{
    ApplySystemSettings();
    std::string error;
    if (!program_.Start(programPath, programPath, Path("start"), &error))
        report_.Abort(error);
}

void Run::ExpectDriveType(const std::string& root, UINT type)
{
    UINT seen = GetDriveTypeA(root.c_str());
    if (seen != type)
        report_.Fail("the drive " + root + " is of type " + std::to_string(seen) + ", expected " +
                     std::to_string(type));
}

Dialog Run::WaitForDialog(const std::string& caption)
{
    Window found;
    WaitUntil(
        [&] {
            found = program_.FindDialog(caption);
            return found.Exists() || !program_.IsRunning();
        },
        kWaitMs);
    if (!found.Exists() && !program_.IsRunning())
        report_.Abort("expected the window " + Quote(caption) + ", but the program ended with exit code " +
                      ExitCodeText(program_.ExitCode()));
    if (!found.Exists())
        report_.Abort("expected the window " + Quote(caption) + " within 10 s; the program shows " +
                      program_.DescribeWindows());
    if (!found.Settle())
        report_.Abort("the window " + Quote(caption) + " does not answer");
    return Dialog(found, Quote(caption), report_);
}

Dialog Run::WaitForRestartDialog()
{
    return WaitForDialog(kRestartCaption);
}

void Run::ExpectEndsWith(DWORD exitCode)
{
    if (!program_.WaitForEnd(kWaitMs)) {
        report_.Fail("the program did not end within 10 s; it shows " + program_.DescribeWindows());
        program_.Terminate();
        return;
    }
    if (program_.ExitCode() != exitCode)
        report_.Fail("the program ended with exit code " + ExitCodeText(program_.ExitCode()) +
                     ", expected " + ExitCodeText(exitCode));
}

void Run::ExpectProbeCalls(const std::vector<std::string>& calls)
{
    std::vector<std::string> seen = ReadLines(Path("probe.log"));
    if (seen != calls)
        report_.Fail("probe calls: expected " + Join(calls) + ", saw " + Join(seen));
}

void Run::ExpectSetupStarted(const std::string& setupFolder, const std::string& commandLine,
                             const std::string& currentFolder)
{
    std::string log = setupFolder + "\\setup.log";
    if (!WaitUntil([&] { return !Values(ReadLines(log), "command ").empty(); }, kWaitMs)) {
        report_.Fail("the setup program in " + setupFolder + " was not started within 10 s; the program shows " +
                     program_.DescribeWindows());
        return;
    }
    std::vector<std::string> lines = ReadLines(log);
    std::vector<std::string> commands = Values(lines, "command ");
    std::vector<std::string> folders = Values(lines, "folder ");
    if (commands.size() != 1)
        report_.Fail("the setup program in " + setupFolder + " was started " +
                     std::to_string(commands.size()) + " times: " + Join(commands));
    if (commands.front() != commandLine)
        report_.Fail("the setup program's command line: expected " + Quote(commandLine) + ", saw " +
                     Quote(commands.front()));
    // Folder names compare without regard to case, as Windows does.
    if (folders.empty() || lstrcmpiA(folders.front().c_str(), currentFolder.c_str()) != 0)
        report_.Fail("the setup program's current folder: expected " + Quote(currentFolder) + ", saw " +
                     Join(folders));
}

void Run::ExpectNothingStarted()
{
    for (const std::string& folder : setupFolders_) {
        std::vector<std::string> commands = Values(ReadLines(folder + "\\setup.log"), "command ");
        if (!commands.empty())
            report_.Fail("a setup program was started: " + Join(commands));
    }
}

void Run::ExpectRestartRequested()
{
    restartVerdictGiven_ = true;
    if (!WaitUntil([this] { return RestartRequests() > 0; }, kWaitMs))
        report_.Fail("no request to restart Windows reached the harness within 10 s");
}

void Run::ExpectNoRestartRequest()
{
    restartVerdictGiven_ = true;
    PumpFor(kRestartGraceMs);
    if (RestartRequests() > 0)
        report_.Fail("the program asked to restart Windows");
}

std::vector<std::string> Run::Events() const
{
    return ReadLines(Path("events.log"));
}

int Run::CountEvents(const std::string& event) const
{
    std::vector<std::string> events = Events();
    return static_cast<int>(std::count(events.begin(), events.end(), event));
}

bool Run::WaitForEvent(const std::string& event, DWORD timeoutMs) const
{
    return WaitUntil([&] { return CountEvents(event) > 0; }, timeoutMs);
}

void Run::KeepMinimizedAfterItsOwnRequest(Dialog& restart)
{
    const std::string title = kRestartCaption;
    if (!WaitForEvent("minimize " + title, kWaitMs))
        report_.Abort("the restart dialog did not ask to be minimized; its window events: " + Join(Events()));
    if (WaitForEvent("shownormal " + title, kReshowWaitMs))
        WaitUntil([&] { return !restart.IsMinimized(); }, kReshowWaitMs);
    restart.Minimize();
    if (!WaitUntil([&] { return restart.IsMinimized(); }, kReshowWaitMs))
        report_.Abort("the restart dialog cannot be minimized");
}

void Run::ExpectMinimizedUntilSetupWindowCloses(Dialog& restart)
{
    if (!SetupWindowExists())
        report_.Abort("no setup window is open while the restart dialog waits; the test proves nothing");
    Stopwatch held;
    bool stayedMinimized = true;
    bool closed = WaitUntil(
        [&] {
            stayedMinimized = restart.IsMinimized();
            return !stayedMinimized || !SetupWindowExists();
        },
        kSetupWindowLimitMs);
    if (!stayedMinimized && SetupWindowExists()) {
        report_.Fail("the restart dialog was restored while a setup window was still open");
        return;
    }
    if (!closed)
        report_.Abort("the setup window did not close within 15 s");
    if (held.ElapsedMs() < kShortestConclusiveHoldMs)
        report_.Fail("the setup window closed " + std::to_string(static_cast<int>(held.ElapsedMs())) +
                     " ms after the restart dialog was minimized: too soon to show that the dialog waits");
    if (!WaitUntil([&] { return !restart.IsMinimized(); }, kRestoreWithinMs))
        report_.Fail("the restart dialog was still minimized 1.5 s after the setup window closed");
    else if (CountEvents(std::string("restore ") + kRestartCaption) == 0)
        report_.Fail("the restart dialog was restored, but not at its own request; events: " + Join(Events()));
}

void Run::ExpectStaysMinimizedFor(Dialog& restart, DWORD ms)
{
    if (WaitUntil([&] { return !restart.IsMinimized(); }, ms))
        report_.Fail("the restart dialog was restored although a window titled \"Setup\" exists");
}

Run::ProbeFunction Run::RealProbe()
{
    if (realProbeModule_ == nullptr) {
        realProbeModule_ = LoadLibraryA(paths_.RealProbe.c_str());
        if (realProbeModule_ == nullptr)
            report_.Abort("cannot load " + paths_.RealProbe + ": error " + std::to_string(GetLastError()));
    }
    FARPROC probe = GetProcAddress(realProbeModule_, MAKEINTRESOURCEA(1));
    if (probe == nullptr)
        report_.Abort(paths_.RealProbe + " has no export with ordinal 1");
    return reinterpret_cast<ProbeFunction>(reinterpret_cast<void*>(probe));
}

void Run::ExpectRealProbe(DWORD vendorCode, DWORD deviceCode, bool present)
{
    char buffer[128] = {};
    bool answer = RealProbe()(vendorCode, deviceCode, buffer) != 0;
    if (answer != present)
        report_.Fail("the real ENUM.DLL says " + DeviceText(vendorCode, deviceCode) + " is " +
                     (answer ? "present" : "absent") + ", expected " + (present ? "present" : "absent"));
}

double Run::MeasureStartToDialog(const std::string& exePath, const std::string& commandLine,
                                 const std::string& caption)
{
    ApplySystemSettings();
    Program program;
    std::string error;
    Stopwatch clock;
    if (!program.Start(exePath, commandLine, Path("start"), &error))
        report_.Abort(error);
    Window dialog;
    WaitUntil(
        [&] {
            dialog = program.FindDialog(caption);
            return dialog.Exists() || !program.IsRunning();
        },
        kWaitMs, 1);
    double elapsedMs = clock.ElapsedMs();
    if (!dialog.Exists())
        report_.Abort(exePath + " showed no window " + Quote(caption) + " within 10 s; it shows " +
                      program.DescribeWindows());
    Dialog(dialog, Quote(caption), report_).Press(kExit);
    if (!program.WaitForEnd(kWaitMs))
        report_.Abort(exePath + " did not end after Exit");
    return elapsedMs;
}

void Run::Finish()
{
    if (!restartVerdictGiven_ && RestartRequests() > 0)
        report_.Fail("the program asked to restart Windows, which this scenario does not expect");
}
