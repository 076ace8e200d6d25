// Starting a driver row's setup program.
#include "fixture.h"

#include "launch/launch.h"
#include "probe/version.h"
#include "settings/texts.h"

class LaunchTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        WriteSettings("[1]\nNotSupported=Not for this Windows\nNotSupportedMsg=Pick another driver.\n");
        StartInProgramFolder();
        EnsureSettingsPath();
        // The launch works with the folder the program would have on a CD.
        strcpy(ProgramState.ModuleFolder, "D:\\AGP");
        QueryWindowsVersion();  // Windows 4.10
    }

    int AddRow(const char* command, WORD flags, WORD restart)
    {
        DriverEntry& row = DriverTable.Rows[DriverTable.Count];
        row = DriverEntry{};
        strcpy(row.Name, "Row");
        strcpy(row.Command, command);
        row.SupportFlags = flags;
        row.RestartFlag = restart;
        return DriverTable.Count++;
    }
};

TEST_F(LaunchTest, WorkFolderIsTheCommandsFolder)
{
    SetWorkDirForCommand("DRV\\A\\SETUP.EXE");
    SetWorkDirForCommand("SETUP.EXE");
    SetWorkDirForCommand("E:\\DRV\\SETUP.EXE");
    SetWorkDirForCommand("DRV\\SETUP.EXE /Q:C:\\TMP");
    std::vector<std::string> expected = {"D:\\AGP\\DRV\\A", "D:\\AGP", "D:\\AGP\\E:\\DRV",
                                         "D:\\AGP\\DRV\\SETUP.EXE /Q:C:"};
    EXPECT_EQ(Win.Folders, expected) << "the cut looks at the whole command, arguments too";
}

TEST_F(LaunchTest, WorkFolderUnchangedWhenThePathCannotBeMade)
{
    SetWorkDirForCommand("DRV\\");
    SetWorkDirForCommand(std::string(125, 'C').c_str());
    EXPECT_TRUE(Win.Folders.empty());
}

TEST_F(LaunchTest, UnsupportedDriverWarnsAndStartsNothing)
{
    int row = AddRow("DRV\\SETUP.EXE", 1, 1);
    EXPECT_EQ(LaunchDriver(row), LaunchNotSupported);
    ASSERT_EQ(Win.MessageBoxes.size(), 1u);
    EXPECT_EQ(Win.MessageBoxes[0].Caption, "Not for this Windows");
    EXPECT_EQ(Win.MessageBoxes[0].Text, "Pick another driver.");
    EXPECT_EQ(Win.MessageBoxes[0].Flags, UINT(MB_ICONWARNING));
    EXPECT_TRUE(Win.Commands.empty());
    EXPECT_TRUE(Win.Folders.empty());
}

TEST_F(LaunchTest, RestartFlagDecidesTheOutcome)
{
    EXPECT_EQ(LaunchDriver(AddRow("A\\SETUP.EXE", 2, 1)), LaunchStartedWithRestart);
    EXPECT_EQ(LaunchDriver(AddRow("B\\SETUP.EXE", 3, 0)), LaunchStarted);
    EXPECT_EQ(LaunchDriver(AddRow("C\\SETUP.EXE", 3, 2)), LaunchStarted);
    std::vector<std::string> folders = {"D:\\AGP\\A", "D:\\AGP\\B", "D:\\AGP\\C"};
    std::vector<std::string> commands = {"A\\SETUP.EXE", "B\\SETUP.EXE", "C\\SETUP.EXE"};
    EXPECT_EQ(Win.Folders, folders) << "the folder changes before the command starts";
    EXPECT_EQ(Win.Commands, commands);
    EXPECT_TRUE(Win.MessageBoxes.empty());
}

TEST_F(LaunchTest, CommandThatCannotStartIsReported)
{
    Win.WinExecResult = 2;  // file not found
    EXPECT_EQ(LaunchDriver(AddRow("DRV\\MISSING.EXE -s", 3, 1)), LaunchFailed);
    ASSERT_EQ(Win.MessageBoxes.size(), 1u);
    EXPECT_NE(Win.MessageBoxes[0].Text.find("DRV\\MISSING.EXE -s"), std::string::npos);
    EXPECT_EQ(Win.MessageBoxes[0].Flags, UINT(MB_ICONERROR));
}
