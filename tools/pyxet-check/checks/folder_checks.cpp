// Whether each row's setup program can start in its own folder when
// PYXET.EXE runs from a given folder: the program joins the command's folder
// part to its own folder, and starts nothing when that is longer than 127
// characters.
#include "checks/folder_checks.h"

std::string ModuleFolderOf(std::string folder)
{
    if (folder.size() > 1 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

void CheckWorkFolders(const std::string& programFolder, CheckResult* result)
{
    const std::string moduleFolder = ModuleFolderOf(programFolder);
    for (int i = 0; i < TableCount(); ++i) {
        const char* command = TableRow(i).Command;
        char folder[kPathSize];
        if (WorkFolderForCommand(folder, moduleFolder.c_str(), command) != WorkFolderTooLong)
            continue;
        result->Warnings.push_back(
            {"chip" + std::to_string(i), "folder-too-long",
             "run from " + programFolder + ", the folder of the command \"" + command +
                 "\" joined to it is longer than 127 characters: the program cannot make it the current "
                 "folder, shows \"Setup not started\" and starts nothing"});
    }
}
