// The what-if of the detection: what the program does on each board that
// the command line names, and what a registry export's keys say of where
// the disk has been.
#pragma once

#include <string>
#include <vector>

#include "checks/check_result.h"
#include "program/program.h"
#include "readers/boards.h"

// A board to ask the what-if about: its file and what kind of file it is.
struct Board {
    BoardFormat Format;
    std::string File;
};

// Runs the program on each board's keys, in order, and warns of an export
// that seems to come from a disk moved between boards.
void AddWhatIfs(const std::vector<Board>& boards, const std::vector<std::vector<std::string>>& keys,
                CheckResult* result);

// Warns when keys from a registry export name several devices that rows of
// the loaded table name (host bridges) and come from no Configuration
// Manager list: the disk may have been moved between boards.
void WarnIfMovedBetweenBoards(const std::vector<std::string>& keys, CheckResult* result);
