// Whether each row's setup program can start in its own folder.
#pragma once

#include <string>

#include "checks/check_result.h"

// A folder as the program records its own: without a trailing backslash, so
// that the root folder "D:\\" is "D:".
std::string ModuleFolderOf(std::string folder);

// Warns of each row whose setup program's folder cannot be made current
// when PYXET.EXE runs from programFolder (such as "D:\\").
void CheckWorkFolders(const std::string& programFolder, CheckResult* result);
