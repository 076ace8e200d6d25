// pyxet-check: tells the person who puts a driver CD together whether the
// settings file of the folder is right, and what the program would detect
// on a given board.
//
//   pyxet-check [--json] [--lspci FILE | --reg FILE] [--windows 95|98|me] [--country N]
//               [--image iso|floppy] [--all] [--list-files] PATH
//   pyxet-check --propose [--lspci FILE | --reg FILE]... [--package DRIVERS\X] [--flags F] [--write] PATH
//
// Exit status: 0 when nothing is wrong (warnings allowed), 1 when there are
// errors, 2 when it cannot run (bad usage, unreadable path or input).
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "check.h"
#include "disk_names.h"
#include "folder_index.h"
#include "inf_package.h"
#include "options.h"
#include "package_checks.h"
#include "pci_ids.h"
#include "propose.h"
#include "report.h"
#include "what_if.h"

namespace fs = std::filesystem;

namespace {

enum { kClean = 0, kErrors = 1, kCannotRun = 2 };

int CannotRun(const std::string& message)
{
    std::fprintf(stderr, "pyxet-check: %s\n", message.c_str());
    return kCannotRun;
}

// Reads a whole file; false with the reason when it cannot.
bool ReadWholeFile(const std::string& path, std::string* text, std::string* error)
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
    text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) {
        *error = "read error";
        return false;
    }
    return true;
}

// The folder and the settings file in it that PATH names; the file is empty
// when the folder has none.
bool LocateSettings(const std::string& path, fs::path* folder, std::string* fileName, std::string* error)
{
    std::error_code code;
    fs::file_status status = fs::status(path, code);
    if (!fs::exists(status)) {
        *error = "cannot read " + path + ": no such file or folder";
        return false;
    }
    if (fs::is_directory(status)) {
        *folder = path;
        std::string found = FolderIndex(path).FindFile("Pyxet.ini");
        *fileName = found.empty() ? "" : fs::path(found).filename().string();
        return true;
    }
    *folder = fs::path(path).parent_path();
    if (folder->empty())
        *folder = ".";
    *fileName = fs::path(path).filename().string();
    return true;
}

int Report(const CheckOptions& options, const CheckResult& result, const PciIds& pciIds,
           const WindowsVersion& windows)
{
    if (options.ListFiles)
        PrintDiskFiles(stdout, result);
    else if (options.Json)
        PrintJson(stdout, result);
    else
        PrintPlain(stdout, result, pciIds, windows, options.Country);
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

// A board file read both ways: its device keys for the what-if, its devices
// for the proposal.
struct Board {
    std::vector<std::string> Keys;
    std::vector<BoardDevice> Devices;
};

bool ReadBoard(const BoardFile& file, Board* board, std::string* error)
{
    std::string text;
    if (!ReadWholeFile(file.Path, &text, error)) {
        *error = "cannot read " + file.Path + ": " + *error;
        return false;
    }
    if (!ReadDeviceKeys(text, file.Source, &board->Keys, error) ||
        !ReadBoardDevices(text, file.Source, &board->Devices, error)) {
        *error = file.Path + " " + *error;
        return false;
    }
    return true;
}

// --propose: a row for each board, printed, and with --write added.
int Propose(const CheckOptions& options, const std::vector<Board>& boards, const PciIds& pciIds,
            const WindowsVersion& windows, const std::string& settingsFile)
{
    int loadResult = LoadDriverTable();
    FolderIndex folder(".");
    PackageIndex packages(folder);
    std::vector<std::string> names;
    std::vector<std::vector<BoardDevice>> devices;
    std::vector<std::vector<std::string>> keys;
    for (size_t i = 0; i < boards.size(); ++i) {
        names.push_back(options.Boards[i].Path);
        devices.push_back(boards[i].Devices);
        keys.push_back(boards[i].Keys);
    }
    ProposeContext context = {folder, packages, pciIds, options.Propose, windows, loadResult};
    std::vector<Proposal> proposals = ProposeRows(context, names, devices, keys);
    PrintProposals(stdout, options.Json, settingsFile, proposals, pciIds);
    for (const Proposal& proposal : proposals) {
        if (!proposal.Error.empty())
            return kErrors;
    }
    return kClean;
}

}  // namespace

int main(int argc, char** argv)
{
    CheckOptions options;
    std::string usageError = ParseOptions(argc, argv, &options);
    if (!usageError.empty()) {
        std::fprintf(stderr, "pyxet-check: %s\n%s", usageError.c_str(), kUsage);
        return kCannotRun;
    }
    const WindowsVersion& windows = *FindWindowsVersion(options.Windows);

    std::vector<Board> boards(options.Boards.size());
    for (size_t i = 0; i < boards.size(); ++i) {
        std::string error;
        if (!ReadBoard(options.Boards[i], &boards[i], &error))
            return CannotRun(error);
    }

    fs::path folder;
    std::string fileName;
    std::string error;
    if (!LocateSettings(options.Path, &folder, &fileName, &error))
        return CannotRun(error);
    bool judgesDisk = JudgesDisk(options);
    PciIds pciIds;
    pciIds.Load(PciIdsPath());

    CheckResult result;
    if (fileName.empty() && options.Propose.Enabled)
        return CannotRun("the folder " + folder.string() + " holds no PYXET.INI to propose rows for");
    if (fileName.empty()) {
        result.Errors.push_back({"PYXET.INI", "no-settings",
                                 "the folder " + folder.string() +
                                     " holds no PYXET.INI: the program shows empty texts and an empty list"});
        if (judgesDisk)
            CheckDisk(folder.string(), options.Disk, &result);
        return Report(options, result, pciIds, windows);
    }
    std::string text;
    if (!ReadWholeFile((folder / fileName).string(), &text, &error))
        return CannotRun("cannot read " + (folder / fileName).string() + ": " + error);
    // The program's path fields hold 127 characters: read the file by its
    // name from its own folder.
    if (fileName.size() >= kPathSize)
        return CannotRun("the settings file's name is longer than 127 characters");
    if (chdir(folder.c_str()) != 0)
        return CannotRun("cannot enter " + folder.string() + ": " + std::strerror(errno));
    result.SettingsFile = (folder / fileName).string();

    PrepareProgramState(fileName, windows, options.Country);
    if (options.Propose.Enabled)
        return Propose(options, boards, pciIds, windows, result.SettingsFile);
    CheckFileContents(text, &result);
    FolderIndex here(".");
    CheckDriverTable(here, pciIds, &result);
    PackageIndex packages(here);
    CheckPackages(packages, pciIds, &result);
    CheckTexts(&result);
    if (judgesDisk)
        CheckDisk(".", options.Disk, &result);
    if (!boards.empty())
        result.WhatIf = RunWhatIf(boards[0].Keys, windows, result.LoadResult);
    return Report(options, result, pciIds, windows);
}
