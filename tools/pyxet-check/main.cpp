// pyxet-check: tells the person who puts a driver CD together whether the
// settings file of the folder is right, and what the program would detect
// on a given board.
//
//   pyxet-check [--json] [--lspci FILE | --reg FILE] [--windows 95|98|me] [--country N]
//               [--folder FOLDER] PATH
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
#include "folder_index.h"
#include "options.h"
#include "pci_ids.h"
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
    if (options.Json)
        PrintJson(stdout, result);
    else
        PrintPlain(stdout, result, pciIds, windows, options.Country);
    return result.Errors.empty() ? kClean : kErrors;
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

    std::vector<std::string> deviceKeys;
    if (options.Source != WhatIfSource::None) {
        std::string text;
        std::string error;
        if (!ReadWholeFile(options.WhatIfFile, &text, &error))
            return CannotRun("cannot read " + options.WhatIfFile + ": " + error);
        if (!ReadDeviceKeys(text, options.Source, &deviceKeys, &error))
            return CannotRun(options.WhatIfFile + " " + error);
    }

    fs::path folder;
    std::string fileName;
    std::string error;
    if (!LocateSettings(options.Path, &folder, &fileName, &error))
        return CannotRun(error);
    PciIds pciIds;
    pciIds.Load(PciIdsPath());

    CheckResult result;
    if (fileName.empty()) {
        result.Errors.push_back({"PYXET.INI", "no-settings",
                                 "the folder " + folder.string() +
                                     " holds no PYXET.INI: the program shows empty texts and an empty list"});
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
    CheckFileContents(text, &result);
    CheckDriverTable(FolderIndex("."), pciIds, &result);
    CheckTexts(&result);
    CheckWorkFolders(options.ProgramFolder, &result);
    if (options.Source == WhatIfSource::Reg)
        WarnIfMovedBetweenBoards(deviceKeys, &result);
    if (options.Source != WhatIfSource::None)
        result.WhatIf = RunWhatIf(deviceKeys, windows, result.LoadResult);
    return Report(options, result, pciIds, windows);
}
