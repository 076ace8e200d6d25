// Parsing of pyxet-check's command line: one table of options, each with its
// value, its line of the usage and what it sets.
#include "cli/options.h"

#include "pyxet_version.h"

#include <algorithm>
#include <cctype>

#include "checks/check_result.h"
#include "readers/code_page.h"

namespace {

// The Windows of a what-if that names neither --windows nor --build.
const char kDefaultWindows[] = "98";

// Sets options from an option's value (empty for a flag); returns the usage
// error, or nothing.
using ApplyOption = std::string (*)(const std::string& value, CheckOptions* options);

struct OptionRule {
    const char* Name;
    const char* Alias;  // a short name, or nullptr
    const char* Value;  // the value's name in the usage; nullptr for a flag
    bool NeedsBoard;    // only a board's what-if reads it
    const char* Help;
    ApplyOption Apply;
};

bool IsDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string Lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string SetHelp(const std::string&, CheckOptions* options)
{
    options->Help = true;
    return "";
}

std::string SetVersion(const std::string&, CheckOptions* options)
{
    options->PrintVersion = true;
    return "";
}

std::string SetJson(const std::string&, CheckOptions* options)
{
    options->Json = true;
    return "";
}

std::string AddLspciBoard(const std::string& file, CheckOptions* options)
{
    options->Boards.push_back({BoardFormat::Lspci, file});
    return "";
}

std::string AddRegistryBoard(const std::string& file, CheckOptions* options)
{
    options->Boards.push_back({BoardFormat::Reg, file});
    return "";
}

std::string SetWindows(const std::string& value, CheckOptions* options)
{
    std::string name = Lowered(value);
    if (FindWindowsVersion(name, 0) == nullptr)
        return "--windows takes 95, 98 or me, not " + value;
    options->Windows = name;
    return "";
}

std::string SetBuild(const std::string& value, CheckOptions* options)
{
    // Windows reports the build in 16 bits; longer digit runs name none.
    options->Build = IsDigits(value) && value.size() <= 5 ? std::stoul(value) : 0;
    if (options->Build == 0 || FindWindowsVersion("", options->Build) == nullptr)
        return "--build takes a build of Windows 95, 98 or ME (" + KnownBuilds("") + "), not " + value;
    return "";
}

std::string SetCountry(const std::string& value, CheckOptions* options)
{
    // The program reads the country code into 20 bytes and names a section by it.
    options->Country = value;
    if (!IsDigits(value) || value.size() >= kCountrySize)
        return "--country takes a country code of 1 to 19 digits, not " + value;
    return "";
}

std::string SetImage(const std::string& value, CheckOptions* options)
{
    if (!ParseMedium(value, &options->Disk.Image))
        return "--image takes iso or floppy, not " + value;
    return "";
}

std::string SetAll(const std::string&, CheckOptions* options)
{
    options->Disk.All = true;
    return "";
}

std::string SetListFiles(const std::string&, CheckOptions* options)
{
    options->ListFiles = true;
    return "";
}

std::string SetPropose(const std::string&, CheckOptions* options)
{
    options->Propose.Enabled = true;
    return "";
}

std::string SetWrite(const std::string&, CheckOptions* options)
{
    options->Propose.Write = true;
    return "";
}

std::string SetPackage(const std::string& value, CheckOptions* options)
{
    options->Propose.Package = value;
    return "";
}

std::string SetFlags(const std::string& value, CheckOptions* options)
{
    // A row's flags: one to four hexadecimal digits.
    options->Propose.Flags = value;
    options->Propose.FlagsGiven = true;
    if (value.empty() || value.size() > 4 || value.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return "--flags takes 1 to 4 hexadecimal digits, not " + value;
    return "";
}

std::string SetCodePage(const std::string& value, CheckOptions* options)
{
    if (!IsDigits(value) || value.size() > 5 || !IsKnownCodePage(std::stoi(value)))
        return "--codepage takes a Windows code page number that iconv knows, such as 1252 or 1251, not " + value;
    options->CodePage = std::stoi(value);
    return "";
}

std::string SetProgramFolder(const std::string& value, CheckOptions* options)
{
    // The program keeps its own folder in a path field of 128 bytes.
    if (value.empty() || value.size() >= kPathSize)
        return "--folder takes a folder of 1 to 127 characters, not \"" + value + "\"";
    options->ProgramFolder = value;
    return "";
}

const OptionRule kOptions[] = {
    {"--help", "-h", nullptr, false, "print this and exit", SetHelp},
    {"--version", nullptr, nullptr, false, "print pyxet-check's version and exit", SetVersion},
    {"--json", nullptr, nullptr, false, "print one JSON object instead of text", SetJson},
    {"--lspci", nullptr, "FILE", false, "a board, as lspci -n or lspci -nn lists it; may be repeated",
     AddLspciBoard},
    {"--reg", nullptr, "FILE", false,
     "a board, as REGEDIT exports HKLM\\Enum\\PCI; may be repeated", AddRegistryBoard},
    {"--windows", nullptr, "95|98|me", true, "the boards' Windows, in any case (default 98)", SetWindows},
    {"--build", nullptr, "N", true, "the boards' Windows build (see below)", SetBuild},
    {"--country", nullptr, "N", true, "the boards' Windows country code (default 1)", SetCountry},
    {"--image", nullptr, "iso|floppy", false,
     "also every name that medium cannot hold as written is an error (on the CD, one its plain ISO 9660 "
     "tree would hold otherwise; on a floppy, one no FAT name holds)", SetImage},
    {"--all", nullptr, nullptr, false, "the packages under DRIVERS\\ that no row uses go on the disk too", SetAll},
    {"--list-files", nullptr, nullptr, false,
     "print the files that go on the disk, one per line, instead of the report", SetListFiles},
    {"--propose", nullptr, nullptr, false, "propose a row for each board instead of the check", SetPropose},
    {"--package", nullptr, "DRIVERS\\X", false, "with --propose: the package of the proposed rows",
     SetPackage},
    {"--flags", nullptr, "F", false, "with --propose: the proposed rows' flags (default 3)", SetFlags},
    {"--write", nullptr, nullptr, false, "with --propose: add the rows to the settings file", SetWrite},
    {"--codepage", nullptr, "N", false, "the Windows code page the settings file is written in (default 1252)",
     SetCodePage},
    {"--folder", nullptr, "FOLDER", false, "where PYXET.EXE will run from (default D:\\)", SetProgramFolder},
};

const OptionRule* FindOption(const std::string& argument)
{
    for (const OptionRule& rule : kOptions) {
        if (argument == rule.Name || (rule.Alias != nullptr && argument == rule.Alias))
            return &rule;
    }
    return nullptr;
}

// The Windows that --windows and --build name together.
// An option's names in a column of kNamesWidth, then its help in words
// that fill lines of at most kUsageWidth characters, each line after the
// first indented to the help's column.
std::string HelpLines(const OptionHelp& option)
{
    enum { kHelpColumn = 2 + 20, kUsageWidth = 79 };
    std::string lines = "  " + option.Names;
    lines.resize(std::max<size_t>(lines.size(), kHelpColumn), ' ');
    size_t column = lines.size();
    size_t start = 0;
    while (start < option.Help.size()) {
        size_t end = std::min(option.Help.find(' ', start), option.Help.size());
        size_t length = end - start;
        if (column > kHelpColumn && column + 1 + length > kUsageWidth) {
            lines += "\n" + std::string(kHelpColumn, ' ');
            column = kHelpColumn;
        }
        lines += " " + option.Help.substr(start, length);
        column += 1 + length;
        start = end + 1;
    }
    return lines + "\n";
}

std::string ResolveWindows(CheckOptions* options)
{
    std::string name = options->Windows.empty() && options->Build == 0 ? kDefaultWindows : options->Windows;
    options->Version = FindWindowsVersion(name, options->Build);
    if (options->Version == nullptr)
        return FindWindowsVersion(name, 0)->Product + std::string(" has no build ") +
               std::to_string(options->Build) + " (its builds: " + KnownBuilds(name) + ")";
    return "";
}

// The checks of the command line as a whole, once every argument is read.
std::string FinishOptions(const OptionRule* needingBoard, CheckOptions* options)
{
    if (options->Path.empty())
        return "PATH is missing";
    if (needingBoard != nullptr && options->Boards.empty())
        return std::string(needingBoard->Name) + " is about a board: give one with --lspci FILE or --reg FILE";
    const ProposeOptions& propose = options->Propose;
    if (!propose.Enabled && (propose.Write || propose.FlagsGiven || !propose.Package.empty()))
        return "--package, --flags and --write go with --propose";
    if (propose.Enabled && options->Boards.empty())
        return "--propose needs a board: --lspci FILE or --reg FILE";
    return ResolveWindows(options);
}

}  // namespace

std::vector<OptionHelp> OptionHelps()
{
    std::vector<OptionHelp> helps;
    for (const OptionRule& rule : kOptions) {
        std::string names = rule.Alias != nullptr ? rule.Alias + std::string(", ") + rule.Name : rule.Name;
        if (rule.Value != nullptr)
            names += std::string(" ") + rule.Value;
        helps.push_back({names, rule.Help});
    }
    return helps;
}

std::string VersionLine()
{
    return "pyxet-check " PYXET_VERSION "\n";
}

std::string Usage()
{
    std::string usage =
        "usage: pyxet-check [OPTION]... PATH\n"
        "Checks a driver CD folder's settings file as the program reads it, and what\n"
        "the program would do on each board given.\n"
        "  PATH is a distributable folder (its PYXET.INI found without regard to case)\n"
        "  or a settings file. The names a folder puts on a disk are judged too; a\n"
        "  settings file's folder's only with --image or --list-files.\n";
    for (const OptionHelp& option : OptionHelps())
        usage += HelpLines(option);
    return usage +
           "--windows, --build and --country need a board. A build names its Windows:\n"
           "  " + KnownBuilds("") + ".\n"
           "  Without --build: 95 is build 950, 98 build 2222, me build 3000.\n"
           "Exit status: 0 nothing wrong, 1 errors, 2 cannot run.\n" + VersionLine();
}

std::string ParseOptions(int argc, char** argv, CheckOptions* options)
{
    std::string error;
    auto keepFirst = [&error](const std::string& message) {
        if (error.empty())
            error = message;
    };
    const OptionRule* needingBoard = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        const OptionRule* rule = FindOption(argument);
        if (rule == nullptr) {
            if (argument.size() > 1 && argument[0] == '-')
                keepFirst("unknown option " + argument);
            else if (options->Path.empty())
                options->Path = argument;
            else
                keepFirst("one PATH only");
        } else if (rule->Value != nullptr && i + 1 >= argc) {
            keepFirst(argument + " needs a value");
        } else {
            keepFirst(rule->Apply(rule->Value != nullptr ? argv[++i] : "", options));
            if (rule->NeedsBoard && needingBoard == nullptr)
                needingBoard = rule;
        }
    }
    keepFirst(FinishOptions(needingBoard, options));
    return error;
}
