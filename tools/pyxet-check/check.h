// What pyxet-check finds in a distributable folder's settings file: the
// table as the program loads it, the errors and warnings, the languages,
// and the what-if of the detection.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/driver_table.h"

class FolderIndex;
class PciIds;

struct Finding {
    std::string Key;  // chipN, or the section name for text findings
    std::string Kind;
    std::string Message;
};

struct Language {
    std::string Section;
    std::vector<std::string> Missing;  // text keys this section lacks or leaves empty
};

struct WhatIfResult {
    std::string Board;  // the board's file, as the command line names it, in UTF-8
    std::vector<std::pair<WORD, WORD>> Probes;  // vendor and device code, in order
    int Detected = -1;
    bool Supported = false;
    std::vector<std::string> Dialogs;  // what the user sees, in order, up to the detection dialog
    // When the user installs the detected row's driver: the folder the program
    // makes current (none when it changes none) and the command line it
    // starts; neither when it starts nothing.
    std::optional<std::string> Folder;
    std::optional<std::string> Starts;
};

// What the INF files of one package folder list, and what the table makes of it.
struct PackageCoverage {
    std::string Package;                      // "DRIVERS\VIAKT"
    std::vector<std::string> Lists;           // every PCI device listed, "1106:0305"
    std::vector<std::string> HostBridges;     // those taken as host bridges
    std::vector<std::string> DetectedByRows;  // those that a row of the table detects
    std::vector<std::string> Undetected;      // host bridges no row detects
    std::vector<std::string> Rows;            // the rows whose command is in the folder
};

struct CheckResult {
    std::string SettingsFile;  // as found in the folder, in UTF-8; empty when there is none
    int LoadResult = 0;        // LoadDriverTable's result
    std::vector<DriverEntry> Rows;
    std::vector<Finding> Errors;
    std::vector<Finding> Warnings;
    std::vector<Language> Languages;
    std::vector<std::string> Notes;  // about the file as a whole: empty, not text
    std::vector<Finding> PackageNotes;  // package-covers-more
    std::vector<PackageCoverage> Coverage;
    std::vector<WhatIfResult> WhatIfs;  // one per board, in the command line's order
    std::vector<std::string> DiskFiles;  // what goes on the disk, relative paths with '/'
};

// The Windows versions and builds that --windows and --build name.
struct WindowsVersion {
    const char* Name;     // "95", "98", "me"
    const char* Product;  // "Windows 95"
    DWORD Minor;
    DWORD Build;
    bool Default;  // the build that --windows names without --build
};
// The version of that name (any, when the name is empty) and build (its
// default build, when build is 0); nullptr when there is none.
const WindowsVersion* FindWindowsVersion(const std::string& name, DWORD build);
// "Windows 95 (4.00 build 950)".
std::string WindowsTitle(const WindowsVersion& windows);
// The builds of the version of that name ("950, 1111, 1212, 1214"); with an
// empty name, those of every version ("95: 950, ...; 98: 1998, 2222; me: 3000").
std::string KnownBuilds(const std::string& name);

// Makes the program state look as the program's would after start-up on this
// Windows with this country code; the settings file is settingsFile in the
// current folder.
void PrepareProgramState(const std::string& settingsFile, const WindowsVersion& windows,
                         const std::string& country);

// The [Drivers] checks: loads the table with the program's loader and looks
// at every row it would read and every key it would never reach.
// Commands are judged as PYXET.EXE runs them from programFolder ("D:\\").
void CheckDriverTable(const FolderIndex& folder, const PciIds& pciIds, const std::string& programFolder,
                      CheckResult* result);

// A folder as the program records its own: without a trailing backslash, so
// that the root folder "D:\\" is "D:".
std::string ModuleFolderOf(std::string folder);

// The program part of a command: up to the first blank, or within quotes.
std::string ProgramPath(std::string command);

// Warns of each row whose setup program's folder cannot be made current
// when PYXET.EXE runs from programFolder (such as "D:\\").
void CheckWorkFolders(const std::string& programFolder, CheckResult* result);

// The text sections: which keys fall back to section "1", which are missing
// everywhere, too long, or a format the program refuses.
void CheckTexts(CheckResult* result);

// Notes on the file as a whole (empty, NUL bytes) and a byte-order mark.
void CheckFileContents(const std::string& text, CheckResult* result);

// The message of a not-ansi finding: what (a key or a field) holds text
// that is valid UTF-8 beyond ASCII, which Windows reads in its code page.
std::string NotAnsiMessage(const std::string& what, const std::string& text);

// Sections and keys given twice, of which the program reads only the first.
void CheckRepeatedNames(const std::string& text, CheckResult* result);
