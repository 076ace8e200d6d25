// Parsing of pyxet-check's command line.
#include "options.h"

#include <cstring>

#include "check.h"
#include "core/program_state.h"

const char kUsage[] =
    "usage: pyxet-check [--json] [--lspci FILE | --reg FILE] [--windows 95|98|me] [--country N]\n"
    "                   [--folder FOLDER] PATH\n"
    "  PATH is a distributable folder (its PYXET.INI found without regard to case)\n"
    "  or a settings file. FOLDER is where PYXET.EXE will run from (default D:\\).\n"
    "  Exit status: 0 nothing wrong, 1 errors, 2 cannot run.\n";

static bool IsCountryCode(const std::string& text)
{
    // The program reads the country code into 20 bytes and names a section by it.
    if (text.empty() || text.size() >= kCountrySize)
        return false;
    return text.find_first_not_of("0123456789") == std::string::npos;
}

std::string ParseOptions(int argc, char** argv, CheckOptions* options)
{
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        bool takesValue = argument == "--lspci" || argument == "--reg" || argument == "--windows" ||
                          argument == "--country" || argument == "--folder";
        if (takesValue && i + 1 >= argc)
            return argument + " needs a value";
        if (argument == "--json") {
            options->Json = true;
        } else if (argument == "--lspci" || argument == "--reg") {
            if (options->Source != WhatIfSource::None)
                return "give --lspci or --reg once";
            options->Source = argument == "--lspci" ? WhatIfSource::Lspci : WhatIfSource::Reg;
            options->WhatIfFile = argv[++i];
        } else if (argument == "--windows") {
            options->Windows = argv[++i];
            if (FindWindowsVersion(options->Windows) == nullptr)
                return "--windows takes 95, 98 or me, not " + options->Windows;
        } else if (argument == "--country") {
            options->Country = argv[++i];
            if (!IsCountryCode(options->Country))
                return "--country takes a country code of 1 to 19 digits, not " + options->Country;
        } else if (argument == "--folder") {
            options->ProgramFolder = argv[++i];
            if (options->ProgramFolder.empty() || options->ProgramFolder.size() >= kPathSize)
                return "--folder takes a folder of 1 to 127 characters";
        } else if (argument.size() > 1 && argument[0] == '-') {
            return "unknown option " + argument;
        } else if (options->Path.empty()) {
            options->Path = argument;
        } else {
            return "one PATH only";
        }
    }
    if (options->Path.empty())
        return "PATH is missing";
    return "";
}
