// The command line of pyxet-check.
#pragma once

#include <string>

#include "disk_names.h"

enum class WhatIfSource { None, Lspci, Reg };

struct CheckOptions {
    bool Json = false;
    WhatIfSource Source = WhatIfSource::None;
    std::string WhatIfFile;
    std::string Windows = "98";
    std::string Country = "1";
    std::string Path;
    DiskOptions Disk;
    bool ListFiles = false;  // print the files that go on the disk instead of the report
};

extern const char kUsage[];

// Reads the arguments into options; on a usage error returns its message.
std::string ParseOptions(int argc, char** argv, CheckOptions* options);
