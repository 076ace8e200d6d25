// pyxet-check: tells the person who puts a driver CD together whether the
// settings file of the folder is right, and what the program would detect
// on a given board.
//
//   pyxet-check [--json] [--lspci FILE | --reg FILE]... [--windows 95|98|me] [--build N] [--country N]
//               [--image iso|floppy] [--all] [--list-files] [--codepage N]
//               [--folder FOLDER] PATH
//   pyxet-check --propose [--lspci FILE | --reg FILE]... [--package DRIVERS\X] [--flags F] [--write] PATH
//
// Exit status: 0 when nothing is wrong (warnings allowed), 1 when there are
// errors, 2 when it cannot run (bad usage, unreadable path or input); --help
// exits 0. With --json the standard output is one JSON object whatever the
// outcome.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "checks/check_result.h"
#include "checks/disk_names.h"
#include "checks/folder_checks.h"
#include "checks/package_checks.h"
#include "checks/table_checks.h"
#include "checks/text_checks.h"
#include "cli/options.h"
#include "host/host.h"
#include "profile_reader.h"
#include "propose/propose.h"
#include "readers/code_page.h"
#include "readers/folder_index.h"
#include "readers/inf_package.h"
#include "readers/pci_ids.h"
#include "report/report.h"
#include "whatif/what_if.h"

namespace fs = std::filesystem;

namespace {

enum { kClean = 0, kErrors = 1, kCannotRun = 2 };

// Says why the check cannot run: on the standard error, and with --json as
// the one object of the standard output too.
int CannotRun(const CheckOptions& options, const std::string& message)
{
    (void)std::fprintf(stderr, "pyxet-check: %s\n", message.c_str());
    if (options.Json)
        PrintJsonError(stdout, message);
    return kCannotRun;
}

int UsageError(const CheckOptions& options, const std::string& message)
{
    int status = CannotRun(options, message);
    (void)std::fputs("usage: pyxet-check [OPTION]... PATH (pyxet-check --help tells more)\n", stderr);
    return status;
}

// A path as the reports name it, in UTF-8: on Windows the command line is in
// the ANSI code page, and std::filesystem spells a path in UTF-8.
std::string HostText(const fs::path& path)
{
    return path.string();
}

// Reads a whole file, opened by its path object so that Windows opens any
// name the command line can give; false with the reason when it cannot.
bool ReadWholeFile(const fs::path& path, std::string* text, std::string* error)
{
    std::error_code code;
    if (fs::is_directory(path, code)) {
        *error = "is a folder";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    // In one block, not character by character: settings files of megabytes
    // are read too.
    std::ostringstream contents;
    contents << file.rdbuf();
    *text = contents.str();
    if (file.bad()) {
        *error = "read error";
        return false;
    }
    return true;
}

// The folder and the settings file in it that PATH names; the file is empty
// when the folder has none.
bool LocateSettings(const std::string& argument, fs::path* folder, std::string* fileName, std::string* error)
{
    fs::path path = argument;
    std::error_code code;
    fs::file_status status = fs::status(path, code);
    if (!fs::exists(status)) {
        *error = "cannot read " + HostText(path) + ": no such file or folder";
        return false;
    }
    if (fs::is_directory(status)) {
        *folder = path;
        std::string found = FolderIndex(argument).FindFile("Pyxet.ini");
        *fileName = found.empty() ? "" : fs::path(found).filename().string();
        return true;
    }
    *folder = path.parent_path();
    if (folder->empty())
        *folder = ".";
    *fileName = path.filename().string();
    return true;
}

// Why a folder has no settings file for the program: none at all, or a
// folder where the file should be.
std::string NoSettingsMessage(const fs::path& folder)
{
    const std::string effect = "the program shows empty texts and an empty list";
    std::string named = FolderIndex(folder.string()).FindFolder("Pyxet.ini");
    std::string folderName = AnsiFromHost(HostText(folder));
    if (named.empty())
        return "the folder " + folderName + " holds no PYXET.INI: " + effect;
    return AnsiFromHost(HostText(fs::path(named).filename())) + " in " + folderName +
           " is a folder, not a file: the program finds no settings file, so " + effect;
}

int Report(const CheckOptions& options, const CheckResult& result, const PciIds& pciIds)
{
    if (options.ListFiles)
        PrintDiskFiles(stdout, result);
    else if (options.Json)
        PrintJson(stdout, result);
    else
        PrintPlain(stdout, result, pciIds, *options.Version, options.Country);
    return result.Errors.empty() ? kClean : kErrors;
}

// The names on the disk are judged for a folder, and for a settings file
// named directly only when an image or its files are asked for: the file's
// folder may be any folder, not one that goes on a disk.
bool JudgesDisk(const CheckOptions& options)
{
    std::error_code code;
    return fs::is_directory(options.Path, code) || options.Disk.Image != Medium::None || options.ListFiles;
}

// The boards read both ways: each one's device keys for the what-if, its
// devices for the proposal.
struct BoardReadings {
    std::vector<std::vector<std::string>> Keys;
    std::vector<std::vector<BoardDevice>> Devices;
};

// Reads every board; false with the reason when one cannot be read.
bool ReadBoards(const std::vector<Board>& boards, BoardReadings* readings, std::string* error)
{
    for (const Board& board : boards) {
        std::string text;
        readings->Keys.emplace_back();
        readings->Devices.emplace_back();
        if (!ReadWholeFile(board.File, &text, error)) {
            *error = "cannot read " + HostText(board.File) + ": " + *error;
            return false;
        }
        if (!ReadDeviceKeys(text, board.Format, &readings->Keys.back(), error) ||
            !ReadBoardDevices(text, board.Format, &readings->Devices.back(), error)) {
            *error = HostText(board.File) + " " + *error;
            return false;
        }
    }
    return true;
}

// The devices that the boards show as class 0600: evidence for the package
// notes that a listed device is a host bridge.
std::set<PciDevice> BoardHostBridges(const std::vector<std::vector<BoardDevice>>& boards)
{
    std::set<PciDevice> hosts;
    for (const std::vector<BoardDevice>& board : boards) {
        for (const BoardDevice& device : board) {
            if (device.HostBridge)
                hosts.insert(PciDevice{device.Vendor, device.Device});
        }
    }
    return hosts;
}

// --propose: a row for each board, printed, and with --write added.
int Propose(const CheckOptions& options, const BoardReadings& boards, const PciIds& pciIds,
            const std::string& settingsFile)
{
    int loadResult = LoadTable();
    FolderIndex folder(".");
    PackageIndex packages(folder);
    std::vector<std::string> names;
    for (const Board& board : options.Boards)
        names.push_back(HostText(board.File));
    ProposeContext context = {folder, packages, pciIds, options.Propose, loadResult};
    std::vector<Proposal> proposals = ProposeRows(context, names, boards.Devices, boards.Keys);
    PrintProposals(stdout, options.Json, settingsFile, proposals, pciIds);
    for (const Proposal& proposal : proposals) {
        if (!proposal.Error.empty())
            return kErrors;
    }
    return kClean;
}

// Checks and reports, as the command line asks; returns the exit status.
int Run(int argc, char** argv)
{
    CheckOptions options;
    std::string usageError = ParseOptions(argc, argv, &options);
    SetUpStandardOutput(options.Json && !options.Help && !options.PrintVersion);
    if (options.PrintVersion) {
        (void)std::fputs(VersionLine().c_str(), stdout);
        return kClean;
    }
    if (options.Help) {
        (void)std::fputs(Usage().c_str(), stdout);
        return kClean;
    }
    if (!usageError.empty())
        return UsageError(options, usageError);
    SetAnsiCodePage(options.CodePage);

    BoardReadings boards;
    std::string error;
    if (!ReadBoards(options.Boards, &boards, &error))
        return CannotRun(options, error);

    fs::path folder;
    std::string fileName;
    if (!LocateSettings(options.Path, &folder, &fileName, &error))
        return CannotRun(options, error);
    bool judgesDisk = JudgesDisk(options);
    PciIds pciIds;
    pciIds.Load(PciIdsPath());

    CheckResult result;
    if (fileName.empty() && options.Propose.Enabled)
        return CannotRun(options, "the folder " + HostText(folder) + " holds no PYXET.INI to propose rows for");
    if (fileName.empty()) {
        result.Errors.push_back({"PYXET.INI", "no-settings", NoSettingsMessage(folder)});
        if (judgesDisk)
            CheckDisk(folder.string(), options.Disk, &result);
        return Report(options, result, pciIds);
    }
    std::string text;
    if (!ReadWholeFile(folder / fileName, &text, &error))
        return CannotRun(options, "cannot read " + HostText(folder / fileName) + ": " + error);
    // The program's path fields hold 127 characters: read the file by its
    // name from its own folder.
    if (fileName.size() >= kPathSize)
        return CannotRun(options, "the settings file's name is longer than 127 characters");
    std::error_code code;
    fs::current_path(folder, code);
    if (code)
        return CannotRun(options, "cannot enter " + HostText(folder) + ": " + code.message());
    result.SettingsFile = HostText(folder / fileName);

    StartProgram(fileName, *options.Version, options.Country);
    if (options.Propose.Enabled)
        return Propose(options, boards, pciIds, result.SettingsFile);
    // The checks never write the settings file: each of their many lookups
    // can use the index of the first.
    KeepProfileIndexes(true);
    CheckFileContents(text, &result);
    FolderIndex here(".");
    CheckTableRows(here, pciIds, options.ProgramFolder, &result);
    PackageIndex packages(here);
    CheckPackages(packages, pciIds, BoardHostBridges(boards.Devices), &result);
    CheckTexts(&result);
    CheckRepeatedNames(text, &result);
    CheckWorkFolders(options.ProgramFolder, &result);
    if (judgesDisk)
        CheckDisk(".", options.Disk, &result);
    // The reports name each board as the host spells its path, in UTF-8.
    std::vector<Board> named = options.Boards;
    for (Board& board : named)
        board.File = HostText(board.File);
    AddWhatIfs(named, boards.Keys, &result);
    return Report(options, result, pciIds);
}

}  // namespace

// A report that could not be written whole (a full disk, a closed pipe) is
// no report: the exit status says so, whatever the checks found.
int main(int argc, char** argv)
{
    int status = Run(argc, argv);
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        (void)std::fprintf(stderr, "pyxet-check: cannot write the report: %s\n", std::strerror(errno));
        return kCannotRun;
    }
    return status;
}
