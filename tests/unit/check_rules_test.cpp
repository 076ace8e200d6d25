// The checker's rules at their edges, through its library: code page 1252,
// the settings writer, the text and row length checks, the trial row and
// the program's run on a board. Each case sits in its table's row.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "checks/table_checks.h"
#include "checks/text_checks.h"
#include "cli/options.h"
#include "program/program.h"
#include "propose/settings_writer.h"
#include "readers/code_page.h"
#include "readers/folder_index.h"
#include "readers/pci_ids.h"

namespace fs = std::filesystem;

namespace {

TEST(CodePage1252, HighBytesAsWindowsMapsThem)
{
    const struct {
        unsigned char Byte;
        const char* Utf8;
    } cases[] = {
        {0x7F, "\x7F"},
        {0x80, "\xE2\x82\xAC"},  // the euro sign
        {0x81, "\xEF\xBF\xBD"},  // unassigned
        {0x9F, "\xC5\xB8"},      // Y with diaeresis
        {0xA0, "\xC2\xA0"},      // no-break space, Latin-1 from here on
        {0xFF, "\xC3\xBF"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(static_cast<int>(test.Byte));
        const std::string byte(1, static_cast<char>(test.Byte));
        EXPECT_EQ(Utf8FromCp1252(byte), test.Utf8);
        if (test.Byte != 0x81) {
            EXPECT_EQ(Cp1252FromUtf8(test.Utf8), byte);
        }
    }
}

TEST(SettingsWriter, FindsDriversInAnyCase)
{
    const struct {
        const char* Text;
        const char* Written;  // nullptr: refused
    } cases[] = {
        {"[Drivers]\nchip0=a\n", "[Drivers]\nchip0=a\nchip1=new\n"},
        {"[DRIVERS]\nchip0=a\n[1]\nOK=OK\n", "[DRIVERS]\nchip0=a\nchip1=new\n[1]\nOK=OK\n"},
        {"[1]\nOK=OK\n[ drivers ]\r\n", "[1]\nOK=OK\n[ drivers ]\r\nchip1=new\r\n"},
        {"[1]\nOK=OK\n", "[1]\nOK=OK\n[Drivers]\nchip1=new\n"},
        {"[Drivers]\nchip0=a\n[DRIVERS]\n", nullptr},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Text);
        std::string result;
        std::string error;
        bool written = InsertDriverRow(test.Text, "chip1", "new", &result, &error);
        ASSERT_EQ(written, test.Written != nullptr) << error;
        if (written) {
            EXPECT_EQ(result, test.Written);
        } else {
            EXPECT_NE(error.find("2 times"), std::string::npos) << error;
        }
    }
}

// A folder of its own for each test, made current, holding PYXET.INI.
class CheckerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = fs::current_path();
        folder_ = fs::temp_directory_path() /
                  ("pyxet-check-unit-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
    }
    void TearDown() override
    {
        fs::current_path(saved_);
        fs::remove_all(folder_);
    }
    // Writes the settings file and starts the program on it.
    void Start(const std::string& settings, const char* windows = "98")
    {
        std::ofstream(folder_ / "PYXET.INI", std::ios::binary) << settings;
        StartProgram("PYXET.INI", *FindWindowsVersion(windows, 0), "1");
    }
    static int Count(const std::vector<Finding>& findings, const std::string& kind)
    {
        int count = 0;
        for (const Finding& finding : findings)
            count += finding.Kind == kind ? 1 : 0;
        return count;
    }

private:
    fs::path saved_;
    fs::path folder_;
};

const char kRow[] = "Intel 440BX,8086,7190,7192,3,SETUP.EXE,1";

// The program reads 255 characters of a text or a row: a longer one is cut.
TEST_F(CheckerTest, TextCutFromTheTwoHundredFiftySixthCharacter)
{
    for (size_t length : {254, 255, 256, 257}) {
        SCOPED_TRACE(length);
        Start("[1]\nWelcome=" + std::string(length, 'w') + "\n[Drivers]\nchip0=" + kRow + "\n");
        CheckResult result;
        CheckTexts(&result);
        EXPECT_EQ(Count(result.Warnings, "text-cut"), length > 255 ? 1 : 0);
    }
}

TEST_F(CheckerTest, RowCutFromTheTwoHundredFiftySixthCharacter)
{
    const std::string row = kRow;
    for (size_t length : {255, 256, 257}) {
        SCOPED_TRACE(length);
        Start("[Drivers]\nchip0=" + row + "," + std::string(length - row.size() - 1, 'x') + "\n");
        CheckResult result;
        CheckTableRows(FolderIndex("."), PciIds(), "D:\\", &result);
        EXPECT_EQ(Count(result.Warnings, "text-cut"), length > 255 ? 1 : 0);
    }
}

// A trial row is in the table while it lives, and stays only when kept.
TEST_F(CheckerTest, TrialRowLeavesTheTableAsItWasUnlessKept)
{
    Start(std::string("[Drivers]\nchip0=") + kRow + "\n");
    ASSERT_EQ(LoadTable(), 0);
    DriverEntry row = TableRow(0);
    row.DeviceCodes[0] = 0x7180;
    {
        TrialRow trial(row);
        EXPECT_TRUE(trial.Added());
        EXPECT_EQ(TableCount(), 2);
        EXPECT_EQ(RunProgram("board", {"VEN_8086&DEV_7180"}, 0).Detected, 1);
    }
    EXPECT_EQ(TableCount(), 1);
    EXPECT_EQ(RunProgram("board", {"VEN_8086&DEV_7180"}, 0).Detected, -1);
    {
        TrialRow trial(row);
        trial.Keep();
    }
    EXPECT_EQ(TableCount(), 2);
    for (int i = 2; i < kMaxDrivers; ++i)
        TrialRow(row).Keep();
    TrialRow full(row);
    EXPECT_FALSE(full.Added());
    EXPECT_EQ(TableCount(), kMaxDrivers);
}

// What the program shows and starts on a board, row by row.
TEST_F(CheckerTest, RunProgramProbesInOrderAndRecordsTheLaunch)
{
    const struct {
        const char* Keys;  // one key, or none
        const char* Windows;
        int Detected;
        bool Supported;
        const char* Starts;
    } cases[] = {
        {"VEN_8086&DEV_7192&SUBSYS_00000000&REV_03", "98", 0, true, "DRIVERS\\BX\\SETUP.EXE"},
        {"VEN_8086&DEV_7190", "95", 0, false, nullptr},
        {"VEN_8086&DEV_7191", "98", -1, false, nullptr},
        {nullptr, "98", -1, false, nullptr},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Keys == nullptr ? "no key" : test.Keys);
        Start("[1]\nPCIWarningDlg=0\nDlgDetect=Detect\n[Drivers]\nchip0=Intel 440BX,8086,7190,7192,2,"
              "DRIVERS\\BX\\SETUP.EXE,1\n",
              test.Windows);
        ASSERT_EQ(LoadTable(), 0);
        std::vector<std::string> keys;
        if (test.Keys != nullptr)
            keys.push_back(test.Keys);
        WhatIfResult run = RunProgram("board", keys, 0);
        EXPECT_EQ(run.Detected, test.Detected);
        EXPECT_EQ(run.Supported, test.Supported);
        ASSERT_FALSE(run.Probes.empty());
        EXPECT_EQ(run.Probes[0], std::make_pair(WORD{0x8086}, WORD{0x7190}));
        EXPECT_EQ(run.Starts.value_or("nothing"), test.Starts != nullptr ? test.Starts : "nothing");
        EXPECT_EQ(run.Dialogs.back().find("the detection dialog \"Detect\" showing \""), 0u);
    }
}

// Runs of blanks and line ends as one blank, with one at each end.
std::string Collapsed(const std::string& text)
{
    std::string collapsed = " ";
    for (char c : text) {
        bool blank = c == ' ' || c == '\n';
        if (!blank || collapsed.back() != ' ')
            collapsed += blank ? ' ' : c;
    }
    return collapsed.back() == ' ' ? collapsed : collapsed + " ";
}

TEST(Usage, PrintsEveryOptionWholeInLinesOf79)
{
    const std::string usage = Usage();
    const std::string flat = Collapsed(usage);
    for (const OptionHelp& option : OptionHelps()) {
        SCOPED_TRACE(option.Names);
        EXPECT_NE(flat.find(" " + option.Names + Collapsed(option.Help)), std::string::npos);
    }
    for (size_t start = 0, end = 0; start < usage.size(); start = end + 1) {
        end = usage.find('\n', start);
        EXPECT_LE(end - start, 79u) << usage.substr(start, end - start);
    }
}

}  // namespace
