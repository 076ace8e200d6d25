// One scenario's run of PYXET.EXE: the folder it runs from (the program, the
// test probe library, Pyxet.ini, probe.txt and the packages' test setup
// programs), the Windows version and country code it sees, and the steps
// that start and watch it. Every wait has a timeout. What the scenario
// leaves behind (a running program, registry values and keys, folders
// outside the work folder) is ended or put back when the run goes; the test
// setup programs end by themselves after their hold time, and the next run
// waits for their windows to go before it starts.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/program.h"
#include "driver/registry.h"
#include "driver/restart_guard.h"
#include "harness/dialog.h"
#include "harness/report.h"
#include "harness/settings_file.h"

struct HarnessPaths {
    std::string WorkFolder;    // emptied, then filled for the scenario
    std::string Program;       // PYXET.EXE
    std::string RealProbe;     // the real ENUM.DLL
    std::string TestPrograms;  // the test ENUM.DLL, SETUP.EXE and minimal_dialog.exe
};

// The restart dialog's caption: it comes from the template, never localized.
extern const char kRestartCaption[];

class Run {
public:
    Run(const HarnessPaths& paths, Report& report, RestartGuard& guard);
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    ~Run();

    // A path inside the work folder, which holds PYXET.EXE.
    std::string Path(const std::string& relative) const;

    // Before the start: what the program finds beside itself and in the system.
    void Settings(const SettingsFile& settings);
    // The devices the test probe library reports present, "VVVV DDDD".
    void PresentDevices(const std::vector<std::string>& devices);
    // A test SETUP.EXE in this folder of the work folder.
    void SetupProgram(const std::string& folder);
    // A test SETUP.EXE in an absolute folder outside the work folder.
    void SetupProgramOutside(const std::string& absoluteFolder);
    void UseRealProbeLibrary();
    // As Wine names them: win95, win98, winme, nt351, nt40, winxp...
    // Unless a scenario says otherwise: win98.
    void Windows(const std::string& version);
    // The user's country code; unless a scenario says otherwise: 1.
    void Country(const std::string& code);
    void NoCountry();
    // A device key under HKEY_LOCAL_MACHINE, deleted after the scenario.
    void AddDeviceKey(const std::string& path);
    // A device node of the Configuration Manager's list of this session
    // (HKEY_DYN_DATA\Config Manager\Enum) whose HardWareKey value is
    // hardwareKey, deleted after the scenario.
    void AddDeviceNode(const std::string& hardwareKey);

    // Starts PYXET.EXE from the work folder, with the command line its path
    // alone, its path and an argument, or its path and a raw tail. The
    // current folder is the work folder's "start" folder.
    void Start();
    void StartWithArgument(const std::string& argument);
    void StartWithTail(const std::string& tail);
    // Starts the program found at programPath instead, such as D:\PYXET.EXE
    // on a drive that scripts/wine-media.sh filled, with the command line its
    // path alone and the same current folder.
    void StartFromDrive(const std::string& programPath);
    // The type Windows reports for a drive (DRIVE_CDROM, DRIVE_REMOVABLE).
    void ExpectDriveType(const std::string& root, UINT type);

    Dialog WaitForDialog(const std::string& caption);
    Dialog WaitForRestartDialog();
    void ExpectEndsWith(DWORD exitCode);
    // Exactly these probe calls ("VVVV DDDD"), in this order.
    void ExpectProbeCalls(const std::vector<std::string>& calls);
    // The test SETUP.EXE in setupFolder was started once, with exactly this
    // command line, in this current folder.
    void ExpectSetupStarted(const std::string& setupFolder, const std::string& commandLine,
                            const std::string& currentFolder);
    // No test SETUP.EXE of the scenario was started.
    void ExpectNothingStarted();
    void ExpectRestartRequested();
    void ExpectNoRestartRequest();

    // The restart dialog asks to be minimized when it opens. Wine shows it
    // normally again the first time its queue is empty, so this waits for
    // the program's own request, lets Wine's showing pass, and then
    // minimizes the dialog the way the user would find it.
    void KeepMinimizedAfterItsOwnRequest(Dialog& restart);
    // The dialog stays minimized while a window titled "Setup" or of the
    // class "GLBSInstall" exists, and restores itself soon after the last
    // one closes.
    void ExpectMinimizedUntilSetupWindowCloses(Dialog& restart);
    void ExpectStaysMinimizedFor(Dialog& restart, DWORD ms);

    // The real ENUM.DLL's probe, loaded into the harness.
    void ExpectRealProbe(DWORD vendorCode, DWORD deviceCode, bool present);

    // Milliseconds from starting exePath with commandLine to its dialog with
    // this caption being visible; the dialog is then closed with Exit.
    double MeasureStartToDialog(const std::string& exePath, const std::string& commandLine,
                                const std::string& caption);
    std::string TestProgram(const std::string& name) const;
    // The processor time PYXET.EXE has used since Start, in milliseconds.
    double ProgramCpuMs() const { return program_.CpuMs(); }
    // Whether a window titled "Setup" or of the class "GLBSInstall" exists.
    static bool SetupWindowExists();

    Report& Findings() { return report_; }
    // The checks every scenario ends with.
    void Finish();

private:
    typedef DWORD(WINAPI* ProbeFunction)(DWORD, DWORD, char*);

    void PrepareWorkFolder();
    void Copy(const std::string& from, const std::string& to);
    void InstallSetupProgram(const std::string& folder);
    void ApplySystemSettings();
    ProbeFunction RealProbe();
    std::vector<std::string> Events() const;
    bool WaitForEvent(const std::string& event, DWORD timeoutMs) const;
    // Requests to restart Windows since this run began; the guard may
    // outlive many runs.
    int RestartRequests() const { return guard_.Requests() - requestsBefore_; }
    int CountEvents(const std::string& event) const;

    Report& report_;
    RestartGuard& guard_;
    int requestsBefore_;
    HarnessPaths paths_;
    std::string windowsVersion_ = "win98";
    std::optional<std::string> countryCode_ = "1";
    std::unique_ptr<RegistryValueOverride> versionOverride_;
    std::unique_ptr<RegistryValueOverride> countryOverride_;
    RegistryKeys deviceKeys_;
    int deviceNodes_ = 0;
    HMODULE realProbeModule_ = nullptr;
    std::vector<std::string> setupFolders_;
    std::vector<std::string> outsideFolders_;
    bool restartVerdictGiven_ = false;
    Program program_;
};
