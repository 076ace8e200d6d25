// --propose: rows for boards, from the board's host bridge, the packages'
// INF files and pci.ids.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "checks/check_result.h"
#include "readers/boards.h"
#include "readers/inf_package.h"

class FolderIndex;
class PciIds;

// What --propose is told: plain values, read from the command line.
struct ProposeOptions {
    bool Enabled = false;
    std::string Package;       // --package: the package folder, relative to PATH
    std::string Flags = "3";   // --flags: the row's flags field as written
    bool FlagsGiven = false;
    bool Write = false;        // --write: add the rows to the settings file
};

struct Proposal {
    std::string Board;                // the board file as named on the command line
    std::vector<PciDevice> Devices;   // the board's devices as read, a slot each
    std::optional<PciDevice> Host;    // the board's host bridge
    std::string Package;              // the package folder chosen, with backslashes
    std::vector<std::string> Why;     // how the row was made, one reason each
    std::optional<DriverEntry> Row;   // as the program reads it
    std::string Key;                  // the row's key, chipN
    std::string Value;                // the row's value, as it is written
    int AlreadyDetectedBy = -1;       // the row of the table that detects the board
    bool Reached = false;             // whether the new row would detect the board
    std::string Reach;                // why it would be reached, or not
    std::string Error;                // why no row is proposed, or why it is not written
    bool Written = false;
};

struct ProposeContext {
    const FolderIndex& Folder;
    PackageIndex& Packages;
    const PciIds& Ids;
    const ProposeOptions& Options;
    int LoadResult;  // LoadTable's result for the table as it is
};

// Proposes a row for each board in turn, each after the rows proposed before
// it, and with --write adds each reached row to the settings file. The
// program state holds the loaded table.
std::vector<Proposal> ProposeRows(const ProposeContext& context, const std::vector<std::string>& boardNames,
                                  const std::vector<std::vector<BoardDevice>>& boards,
                                  const std::vector<std::vector<std::string>>& boardKeys);
