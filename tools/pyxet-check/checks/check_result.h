// What pyxet-check finds in a distributable folder: the table as the
// program loads it, the errors and warnings, the languages, the packages,
// and the what-if of the detection. Every check adds to one CheckResult.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "program/program.h"

struct Finding {
    std::string Key;  // chipN, or the section name for text findings
    std::string Kind;
    std::string Message;
};

struct Language {
    std::string Section;
    std::vector<std::string> Missing;  // text keys this section lacks or leaves empty
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
    int LoadResult = 0;        // LoadTable's result
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
