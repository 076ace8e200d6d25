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
        ProgramState.MainWindow = reinterpret_cast<HWND>(0x1234);
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
    EXPECT_TRUE(SetWorkDirForCommand("DRV\\"));
    EXPECT_TRUE(SetWorkDirForCommand(""));
    EXPECT_FALSE(SetWorkDirForCommand(("DRV\\" + std::string(120, 'F') + "\\S.EXE").c_str()));
    EXPECT_TRUE(Win.Folders.empty());
}

// A command of 127 characters whose arguments, which hold no separator,
// make up most of it.
std::string CommandWithArgumentsTo127(const std::string& program)
{
    std::string command = program + " -s -f1\"SETUP.ISS\" -f2\"SETUP.LOG\" ";
    return command + std::string(127 - command.size(), 'x');
}

TEST_F(LaunchTest, ArgumentsDoNotCountTowardTheFolder)
{
    strcpy(ProgramState.ModuleFolder, "T:\\01b");
    std::string command = CommandWithArgumentsTo127("DRV\\A\\SETUP.EXE");
    ASSERT_EQ(command.size(), 127u);
    EXPECT_EQ(LaunchDriver(AddRow(command.c_str(), 3, 0)), LaunchStarted);
    EXPECT_EQ(Win.Folders, std::vector<std::string>{"T:\\01b\\DRV\\A"});
    ASSERT_EQ(Win.Started.size(), 1u);
    EXPECT_EQ(Win.Started[0].Command, command);
}

TEST_F(LaunchTest, FolderThatDoesNotFitStartsNothing)
{
    std::string command = "DRV\\" + std::string(118, 'F') + "\\S.EXE";
    EXPECT_EQ(LaunchDriver(AddRow(command.c_str(), 3, 1)), LaunchFailed);
    EXPECT_TRUE(Win.Folders.empty());
    EXPECT_TRUE(Win.Started.empty());
    ASSERT_EQ(Win.MessageBoxes.size(), 1u);
    EXPECT_EQ(Win.MessageBoxes[0].Caption, "Setup not started");
    EXPECT_NE(Win.MessageBoxes[0].Text.find(command), std::string::npos);
}

TEST_F(LaunchTest, UnsupportedDriverWarnsAndStartsNothing)
{
    int row = AddRow("DRV\\SETUP.EXE", 1, 1);
    EXPECT_EQ(LaunchDriver(row), LaunchNotSupported);
    ASSERT_EQ(Win.MessageBoxes.size(), 1u);
    EXPECT_EQ(Win.MessageBoxes[0].Caption, "Not for this Windows");
    EXPECT_EQ(Win.MessageBoxes[0].Text, "Pick another driver.");
    EXPECT_EQ(Win.MessageBoxes[0].Flags, UINT(MB_ICONWARNING));
    EXPECT_EQ(Win.MessageBoxes[0].Owner, ProgramState.MainWindow);
    EXPECT_TRUE(Win.Started.empty());
    EXPECT_TRUE(Win.Folders.empty());
}

TEST_F(LaunchTest, LongNotSupportedCaptionIsCutToItsBuffer)
{
    WriteSettings("[1]\nNotSupported=" + std::string(200, 'c') + "\nNotSupportedMsg=" +
                  std::string(300, 't') + "\n");
    EXPECT_EQ(LaunchDriver(AddRow("S.EXE", 0, 0)), LaunchNotSupported);
    ASSERT_EQ(Win.MessageBoxes.size(), 1u);
    EXPECT_EQ(Win.MessageBoxes[0].Caption, std::string(127, 'c'));
    EXPECT_EQ(Win.MessageBoxes[0].Text, std::string(255, 't'));
}

TEST_F(LaunchTest, RestartFlagDecidesTheOutcome)
{
    EXPECT_EQ(LaunchDriver(AddRow("A\\SETUP.EXE", 2, 1)), LaunchStartedWithRestart);
    EXPECT_EQ(LaunchDriver(AddRow("B\\SETUP.EXE", 3, 0)), LaunchStarted);
    EXPECT_EQ(LaunchDriver(AddRow("C\\SETUP.EXE", 3, 2)), LaunchStarted);
    EXPECT_EQ(LaunchDriver(AddRow("D\\SETUP.EXE", 3, 0x101)), LaunchStarted) << "only exactly 1 asks for a restart";
    std::vector<std::string> folders = {"D:\\AGP\\A", "D:\\AGP\\B", "D:\\AGP\\C", "D:\\AGP\\D"};
    EXPECT_EQ(Win.Folders, folders);
    ASSERT_EQ(Win.Started.size(), 4u);
    EXPECT_EQ(Win.Started[2].Command, "C\\SETUP.EXE");
    EXPECT_TRUE(Win.MessageBoxes.empty());
}

TEST_F(LaunchTest, FolderChangesBeforeTheCommandStartsShown)
{
    EXPECT_EQ(LaunchDriver(AddRow("DRV\\A\\SETUP.EXE /s", 2, 0)), LaunchStarted);
    std::vector<std::string> order = {"SetCurrentDirectoryA", "WinExec"};
    EXPECT_EQ(Win.CallOrder, order);
    ASSERT_EQ(Win.Started.size(), 1u);
    EXPECT_EQ(Win.Started[0].Command, "DRV\\A\\SETUP.EXE /s") << "the command exactly as the table holds it";
    EXPECT_EQ(Win.Started[0].Show, UINT(SW_SHOW));
    EXPECT_EQ(Win.Folders[0], "D:\\AGP\\DRV\\A");
}

TEST_F(LaunchTest, WinExecResultsUpToThirtyOneMeanNothingStarted)
{
    Win.WinExecResult = 31;
    EXPECT_EQ(LaunchDriver(AddRow("S.EXE", 3, 1)), LaunchFailed);
    Win.WinExecResult = 32;
    EXPECT_EQ(LaunchDriver(AddRow("S.EXE", 3, 1)), LaunchStartedWithRestart);
    EXPECT_EQ(Win.MessageBoxes.size(), 1u);
}

TEST_F(LaunchTest, CommandThatCannotStartIsReported)
{
    Win.WinExecResult = 2;  // file not found
    EXPECT_EQ(LaunchDriver(AddRow("DRV\\MISSING.EXE -s", 3, 1)), LaunchFailed);
    ASSERT_EQ(Win.MessageBoxes.size(), 1u);
    EXPECT_NE(Win.MessageBoxes[0].Text.find("DRV\\MISSING.EXE -s"), std::string::npos);
    EXPECT_EQ(Win.MessageBoxes[0].Caption, "Setup not started");
    EXPECT_EQ(Win.MessageBoxes[0].Flags, UINT(MB_ICONERROR));
    EXPECT_EQ(Win.MessageBoxes[0].Owner, ProgramState.MainWindow);
}

TEST_F(LaunchTest, ProgramInADrivesRootFolder)
{
    strcpy(ProgramState.ModuleFolder, "C:");
    SetWorkDirForCommand("SETUP.EXE");
    SetWorkDirForCommand("DRV\\SETUP.EXE");
    std::vector<std::string> expected = {"C:", "C:\\DRV"};
    EXPECT_EQ(Win.Folders, expected);
}
