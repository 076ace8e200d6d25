// The working folder that a row's command gets.
#include <gtest/gtest.h>

#include <string>

#include "core/program_state.h"
#include "launch/work_dir.h"

namespace {

struct WorkFolderCase {
    std::string ModuleFolder;
    std::string Command;
    WorkFolderResult Result;
    std::string Folder;
};

const std::string k127 = std::string(127, 'x');

const WorkFolderCase kWorkFolderCases[] = {
    {"D:\\AGP", "DRV\\A\\SETUP.EXE", WorkFolderMade, "D:\\AGP\\DRV\\A"},
    {"D:\\AGP", "SETUP.EXE", WorkFolderMade, "D:\\AGP"},
    {"D:\\AGP", "SETUP.EXE /Q", WorkFolderMade, "D:\\AGP"},
    {"D:\\AGP", "DRV\\SETUP.EXE /Q:C:\\TMP", WorkFolderMade, "D:\\AGP\\DRV\\SETUP.EXE /Q:C:"},
    {"D:\\AGP", "E:\\DRV\\SETUP.EXE", WorkFolderMade, "D:\\AGP\\E:\\DRV"},
    {"D:\\AGP", "E:SETUP.EXE", WorkFolderMade, "D:\\AGP\\E:"},
    {"D:\\AGP", "\\SETUP.EXE", WorkFolderMade, "D:\\AGP"},
    {"C:", "SETUP.EXE", WorkFolderMade, "C:"},
    {"C:", "DRV\\SETUP.EXE", WorkFolderMade, "C:\\DRV"},
    {"D:\\AGP", "DRV\\", WorkFolderNone, ""},
    {"D:\\AGP", "DRV:", WorkFolderNone, ""},
    {"D:\\AGP", "", WorkFolderNone, ""},
    // The arguments of a long command no longer count toward the path.
    {"T:\\01b", "DRV\\A\\SETUP.EXE " + std::string(111, 'a'), WorkFolderMade, "T:\\01b\\DRV\\A"},
    {std::string(120, 'M'), "SETUP.EXE -s", WorkFolderMade, std::string(120, 'M')},
    // The folder itself may fill the buffer: 121 + 1 + 5 characters.
    {std::string(121, 'M'), "DRV\\A\\SETUP.EXE", WorkFolderMade, std::string(121, 'M') + "\\DRV\\A"},
    {std::string(122, 'M'), "DRV\\A\\SETUP.EXE", WorkFolderTooLong, ""},
    {"D:\\AGP", k127 + "\\S.EXE", WorkFolderTooLong, ""},
};

TEST(WorkFolder, IsTheCommandsFolderPartJoinedToTheModuleFolder)
{
    for (const WorkFolderCase& c : kWorkFolderCases) {
        char folder[kPathSize] = "unchanged";
        EXPECT_EQ(WorkFolderForCommand(folder, c.ModuleFolder.c_str(), c.Command.c_str()), c.Result)
            << c.ModuleFolder << " + " << c.Command;
        EXPECT_EQ(folder, c.Folder) << c.ModuleFolder << " + " << c.Command;
    }
}

}  // namespace
