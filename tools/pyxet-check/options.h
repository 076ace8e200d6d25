// The command line of pyxet-check.
#pragma once

#include <string>
#include <vector>

struct WindowsVersion;

enum class WhatIfSource { Lspci, Reg };

// A board to ask the what-if about: its file and what kind of file it is.
struct Board {
    WhatIfSource Source;
    std::string File;
};

struct CheckOptions {
    bool Help = false;
    bool Json = false;
    std::vector<Board> Boards;
    std::string Windows;  // --windows in lower case; empty when not given
    unsigned long Build = 0;  // --build; 0 when not given
    std::string Country = "1";
    std::string Path;
    const WindowsVersion* Version = nullptr;  // what --windows and --build name together
};

// What --help prints.
std::string Usage();

// Reads the whole command line into options; on a usage error returns the
// message of the first one. options->Help and options->Json are set however
// the rest reads.
std::string ParseOptions(int argc, char** argv, CheckOptions* options);
