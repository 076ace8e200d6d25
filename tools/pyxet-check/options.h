// The command line of pyxet-check.
#pragma once

#include <string>

enum class WhatIfSource { None, Lspci, Reg };

struct CheckOptions {
    bool Json = false;
    WhatIfSource Source = WhatIfSource::None;
    std::string WhatIfFile;
    std::string Windows = "98";
    std::string Country = "1";
    std::string ProgramFolder = "D:\\";  // where PYXET.EXE runs from, for the setup programs' folders
    std::string Path;
};

extern const char kUsage[];

// Reads the arguments into options; on a usage error returns its message.
std::string ParseOptions(int argc, char** argv, CheckOptions* options);
