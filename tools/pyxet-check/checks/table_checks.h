// The [Drivers] checks: every row the program would read, every key it
// would never reach, and the files the commands name.
#pragma once

#include <string>

#include "checks/check_result.h"

class FolderIndex;
class PciIds;

// Loads the table with the program's loader and looks at every row it would
// read and every key it would never reach. Commands are judged as PYXET.EXE
// runs them from programFolder ("D:\\").
void CheckTableRows(const FolderIndex& folder, const PciIds& pciIds, const std::string& programFolder,
                      CheckResult* result);

// The program part of a command: up to the first blank, or within quotes.
std::string ProgramPath(std::string command);
