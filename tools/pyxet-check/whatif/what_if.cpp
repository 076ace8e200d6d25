// The what-if: the program's runs on the boards, and the moved-board warning.
#include "whatif/what_if.h"


void AddWhatIfs(const std::vector<Board>& boards, const std::vector<std::vector<std::string>>& keys,
                CheckResult* result)
{
    for (size_t i = 0; i < boards.size(); ++i) {
        if (boards[i].Format == BoardFormat::Reg)
            WarnIfMovedBetweenBoards(keys[i], result);
        result->WhatIfs.push_back(RunProgram(boards[i].File, keys[i], result->LoadResult));
    }
}

void WarnIfMovedBetweenBoards(const std::vector<std::string>& keys, CheckResult* result)
{
    std::string bridges;
    int count = 0;
    for (const std::string& key : keys) {
        if (IsPresentDeviceKey(key))
            return;  // from the Configuration Manager's list: present devices only
        if (TableNamesKey(key))
            bridges += std::string(count++ ? ", " : "") + key;
    }
    if (count >= 2)
        result->Warnings.push_back(
            {"--reg", "moved-board",
             "the export holds " + std::to_string(count) + " host bridges that rows name (" + bridges +
                 ") and no Configuration Manager list (HKEY_DYN_DATA\\Config Manager\\Enum): the image may have "
                 "been moved between boards, and Windows keeps the old board's keys; export HKEY_DYN_DATA too, "
                 "with REGEDIT on the running Windows 98, so that only the present devices answer"});
}
