// Parsing of pyxet-check's command line.
#include "options.h"

#include <cstring>

#include "check.h"
#include "core/program_state.h"

const char kUsage[] =
    "usage: pyxet-check [--json] [--lspci FILE | --reg FILE] [--windows 95|98|me] [--country N]\n"
    "                   [--image iso|floppy] [--all] [--list-files] PATH\n"
    "  PATH is a distributable folder (its PYXET.INI found without regard to case)\n"
    "  or a settings file. Exit status: 0 nothing wrong, 1 errors, 2 cannot run.\n"
    "  The names a folder puts on a disk are judged too; a settings file's folder's only with\n"
    "  --image or --list-files.\n"
    "  --image iso|floppy  also every name that medium cannot hold as written is an error (on the CD, one\n"
    "                      its plain ISO 9660 tree would hold otherwise; on a floppy, one no FAT name holds)\n"
    "  --all               the packages under DRIVERS\\ that no row uses go on the disk too\n"
    "  --list-files        print the files that go on the disk, one per line, instead of the report\n";

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
                          argument == "--country" || argument == "--image";
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
        } else if (argument == "--image") {
            if (!ParseMedium(argv[++i], &options->Disk.Image))
                return "--image takes iso or floppy, not " + std::string(argv[i]);
        } else if (argument == "--all") {
            options->Disk.All = true;
        } else if (argument == "--list-files") {
            options->ListFiles = true;
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
