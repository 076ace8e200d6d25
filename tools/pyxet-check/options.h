// The command line of pyxet-check.
#pragma once

#include <string>
#include <vector>

#include "disk_names.h"

enum class WhatIfSource { None, Lspci, Reg };

// A board file named by --lspci or --reg.
struct BoardFile {
    WhatIfSource Source = WhatIfSource::None;
    std::string Path;
};

// --propose and what goes with it.
struct ProposeOptions {
    bool Enabled = false;
    std::string Package;       // --package: the package folder, relative to PATH
    std::string Flags = "3";   // --flags: the row's flags field as written
    bool FlagsGiven = false;
    bool Write = false;        // --write: add the rows to the settings file
};

struct CheckOptions {
    bool Json = false;
    std::vector<BoardFile> Boards;  // every --lspci and --reg, in order; the what-if takes one
    std::string Windows = "98";
    std::string Country = "1";
    ProposeOptions Propose;
    std::string Path;
    DiskOptions Disk;
    bool ListFiles = false;  // print the files that go on the disk instead of the report
};

extern const char kUsage[];

// Reads the arguments into options; on a usage error returns its message.
std::string ParseOptions(int argc, char** argv, CheckOptions* options);
