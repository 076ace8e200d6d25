// Parsing of pyxet-check's command line.
#include "options.h"

#include <cstring>

#include "check.h"
#include "core/program_state.h"

const char kUsage[] =
    "usage: pyxet-check [--json] [--lspci FILE | --reg FILE] [--windows 95|98|me] [--country N]\n"
    "                   [--image iso|floppy] [--all] [--list-files] PATH\n"
    "       pyxet-check --propose [--lspci FILE | --reg FILE]... [--package DRIVERS\\X] [--flags F] [--write] PATH\n"
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

// The flags of a proposed row: one to four hexadecimal digits.
static bool IsFlagsValue(const std::string& text)
{
    return !text.empty() && text.size() <= 4 && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

// --propose, --package, --flags and --write; false when argument is none of them.
static bool ParseProposeOption(const std::string& argument, const char* value, ProposeOptions* propose,
                               std::string* error)
{
    if (argument == "--propose") {
        propose->Enabled = true;
    } else if (argument == "--write") {
        propose->Write = true;
    } else if (argument == "--package") {
        propose->Package = value;
    } else if (argument == "--flags") {
        propose->Flags = value;
        propose->FlagsGiven = true;
        if (!IsFlagsValue(propose->Flags))
            *error = "--flags takes 1 to 4 hexadecimal digits, not " + propose->Flags;
    } else {
        return false;
    }
    return true;
}

// What --propose needs, and what only --propose allows.
static std::string CheckProposeOptions(const CheckOptions& options)
{
    const ProposeOptions& propose = options.Propose;
    if (!propose.Enabled) {
        if (propose.Write || propose.FlagsGiven || !propose.Package.empty())
            return "--package, --flags and --write go with --propose";
        if (options.Boards.size() > 1)
            return "give --lspci or --reg once";
        return "";
    }
    if (options.Boards.empty())
        return "--propose needs a board: --lspci FILE or --reg FILE";
    return "";
}

std::string ParseOptions(int argc, char** argv, CheckOptions* options)
{
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        bool takesValue = argument == "--lspci" || argument == "--reg" || argument == "--windows" ||
                          argument == "--country" || argument == "--image" || argument == "--package" ||
                          argument == "--flags";
        if (takesValue && i + 1 >= argc)
            return argument + " needs a value";
        std::string error;
        if (ParseProposeOption(argument, takesValue ? argv[i + 1] : nullptr, &options->Propose, &error)) {
            if (!error.empty())
                return error;
            i += takesValue;
        } else if (argument == "--json") {
            options->Json = true;
        } else if (argument == "--lspci" || argument == "--reg") {
            WhatIfSource source = argument == "--lspci" ? WhatIfSource::Lspci : WhatIfSource::Reg;
            options->Boards.push_back({source, argv[++i]});
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
    return CheckProposeOptions(*options);
}
