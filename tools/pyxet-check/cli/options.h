// The command line of pyxet-check.
#pragma once

#include <string>
#include <vector>

#include "checks/disk_names.h"
#include "propose/propose.h"
#include "whatif/what_if.h"


struct CheckOptions {
    bool Help = false;
    bool PrintVersion = false;  // --version
    bool Json = false;
    std::vector<Board> Boards;
    std::string Windows;  // --windows in lower case; empty when not given
    unsigned long Build = 0;  // --build; 0 when not given
    std::string Country = "1";
    ProposeOptions Propose;
    int CodePage = 1252;  // the settings file's Windows ANSI code page
    std::string ProgramFolder = "D:\\";  // where PYXET.EXE runs from, for the setup programs' folders
    std::string Path;
    DiskOptions Disk;
    bool ListFiles = false;  // print the files that go on the disk instead of the report
    const WindowsVersion* Version = nullptr;  // what --windows and --build name together
};

// What --version prints: "pyxet-check 1.0.0".
std::string VersionLine();

// What --help prints.
std::string Usage();

// An option as the usage names it ("--lspci FILE", "-h, --help") and its help.
struct OptionHelp {
    std::string Names;
    std::string Help;
};
std::vector<OptionHelp> OptionHelps();

// Reads the whole command line into options; on a usage error returns the
// message of the first one. options->Help and options->Json are set however
// the rest reads.
std::string ParseOptions(int argc, char** argv, CheckOptions* options);
