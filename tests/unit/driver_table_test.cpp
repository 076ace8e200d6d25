// Loading and parsing the driver table.
#include "fixture.h"

#include "settings/driver_table.h"

using DriverTableTest = ProgramTest;

static DriverEntry Parse(const char* value, int* result)
{
    DriverEntry entry = {};
    *result = ParseDriverRow(value, &entry);
    return entry;
}

TEST(DriverRow, ReadsEveryField)
{
    int result;
    DriverEntry row = Parse("Sample A,1A2B,0C3D,0,3,DRV\\A\\SETUP.EXE,1", &result);
    ASSERT_EQ(result, 0);
    EXPECT_STREQ(row.Name, "Sample A");
    EXPECT_EQ(row.VendorCode, 0x1A2B);
    EXPECT_EQ(row.DeviceCodes[0], 0x0C3D);
    EXPECT_EQ(row.DeviceCodes[1], 0);
    EXPECT_EQ(row.SupportFlags, 3);
    EXPECT_STREQ(row.Command, "DRV\\A\\SETUP.EXE");
    EXPECT_EQ(row.RestartFlag, 1);
}

TEST(DriverRow, RunsOfSeparatorsCountAsOne)
{
    int result;
    DriverEntry row = Parse(",,Sample A,,1A2B,0C3D\r\n0,3, SETUP.EXE -q ,1,extra", &result);
    ASSERT_EQ(result, 0);
    EXPECT_STREQ(row.Name, "Sample A");
    EXPECT_EQ(row.DeviceCodes[0], 0x0C3D);
    EXPECT_STREQ(row.Command, " SETUP.EXE -q ") << "text fields keep their blanks";
    EXPECT_EQ(row.RestartFlag, 1);
}

TEST(DriverRow, EachMissingFieldHasItsCode)
{
    int result;
    Parse(",,,", &result);
    EXPECT_EQ(result, kMissingName);
    Parse("A", &result);
    EXPECT_EQ(result, kMissingVendor);
    Parse("A,1", &result);
    EXPECT_EQ(result, kMissingDevice1);
    Parse("A,1,2", &result);
    EXPECT_EQ(result, kMissingDevice2);
    Parse("A,1,2,3", &result);
    EXPECT_EQ(result, kMissingFlags);
    Parse("A,1,2,3,3", &result);
    EXPECT_EQ(result, kMissingCommand);
    Parse("Sample A,1A2B,0C3D,0,3,SETUP.EXE", &result);
    EXPECT_EQ(result, kMissingRestart);
}

TEST(DriverRow, LongNameIsCutAndLongCommandRefused)
{
    int result;
    std::string name(40, 'N');
    DriverEntry row = Parse((name + ",1,2,0,3,S.EXE,1").c_str(), &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(std::string(row.Name), std::string(31, 'N'));

    std::string command127(127, 'C');
    Parse(("A,1,2,0,3," + command127 + ",1").c_str(), &result);
    EXPECT_EQ(result, 0);
    Parse(("A,1,2,0,3," + command127 + "C,1").c_str(), &result);
    EXPECT_EQ(result, kMissingCommand) << "a cut command could start another program";
}

TEST(HexField, ReadsLikePercentX)
{
    EXPECT_EQ(ReadHexField("0x1A2B"), 0x1A2B);
    EXPECT_EQ(ReadHexField("0X0C3D"), 0x0C3D);
    EXPECT_EQ(ReadHexField("  \t7190"), 0x7190);
    EXPECT_EQ(ReadHexField("+ff"), 0xFF);
    EXPECT_EQ(ReadHexField("-1"), 0xFFFF);
    EXPECT_EQ(ReadHexField("12345"), 0x2345) << "the low 16 bits are stored";
    EXPECT_EQ(ReadHexField("123456789"), 0x6789) << "digits shift out without an overflow check";
    EXPECT_EQ(ReadHexField("zz"), 0);
    EXPECT_EQ(ReadHexField("0x"), 0);
    EXPECT_EQ(ReadHexField("01"), 1);
    EXPECT_EQ(ReadHexField("1f ignored"), 0x1F);
}

TEST_F(DriverTableTest, LoadsRowsUntilTheFirstGap)
{
    WriteSettings(
        "[Drivers]\n"
        "chip0=A,8086,7190,7192,3,DRV\\BX\\SETUP.EXE,1\n"
        "CHIP1=\"B,1106,0598,0,2,DRV\\MVP3\\SETUP.EXE,0\"\n"
        "chip3=D,1039,5591,0,3,S.EXE,1\n");
    StartInProgramFolder();
    EXPECT_EQ(LoadDriverTable(), 0);
    ASSERT_EQ(DriverTable.Count, 2);
    EXPECT_STREQ(DriverTable.Rows[1].Name, "B") << "enclosing quotes are dropped";
    EXPECT_EQ(DriverTable.Rows[1].VendorCode, 0x1106);
}

TEST_F(DriverTableTest, MalformedRowStopsWithItsCode)
{
    WriteSettings("[Drivers]\nchip0=A,1,2,0,3,S.EXE,1\nchip1=B,1,2,0,3,S.EXE\n");
    StartInProgramFolder();
    EXPECT_EQ(LoadDriverTable(), kMissingRestart);
    EXPECT_EQ(DriverTable.Count, 1) << "the count is the failing row's index";
}

TEST_F(DriverTableTest, MissingFileOrSectionLoadsEmpty)
{
    StartInProgramFolder();
    EXPECT_EQ(LoadDriverTable(), 0);
    EXPECT_EQ(DriverTable.Count, 0);
    WriteSettings("[1]\nExit=Exit\n[Drivers]\nchip1=A,1,2,0,3,S.EXE,1\n");
    EXPECT_EQ(LoadDriverTable(), 0);
    EXPECT_EQ(DriverTable.Count, 0) << "without chip0 there is no table";
}

TEST_F(DriverTableTest, StopsAfterTwentyRows)
{
    std::string section = "[Drivers]\n";
    for (int i = 0; i < 25; ++i)
        section += "chip" + std::to_string(i) + "=Row " + std::to_string(i) + ",1,2,0,3,S.EXE,1\n";
    WriteSettings(section);
    StartInProgramFolder();
    EXPECT_EQ(LoadDriverTable(), 0);
    EXPECT_EQ(DriverTable.Count, kMaxDrivers);
    EXPECT_STREQ(DriverTable.Rows[19].Name, "Row 19");
    EXPECT_EQ(Win.ProfileKeysRead.size(), 20u);
    EXPECT_EQ(Win.ProfileKeysRead.back(), "Drivers/chip19") << "nothing past the 20th row is read";
}

TEST(DriverRow, OddHexFieldsStillLoadTheRow)
{
    int result;
    DriverEntry row = Parse("Odd,zz,0x,+1A2B,-1,S.EXE,01", &result);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(row.VendorCode, 0);
    EXPECT_EQ(row.DeviceCodes[0], 0) << "a prefix without digits";
    EXPECT_EQ(row.DeviceCodes[1], 0x1A2B);
    EXPECT_EQ(row.SupportFlags, 0xFFFF);
    EXPECT_EQ(row.RestartFlag, 1) << "01 asks for a restart";
}

TEST_F(DriverTableTest, ReaderDropsBlanksAndQuotesBeforeTheFieldsAreSplit)
{
    WriteSettings(
        "[drivers]\n"
        "Chip0 =   Sample A , 1A2B ,0C3D,0,3,DRV\\A\\SETUP.EXE -s,1   \n"
        "chip1='B,1,2,0,3,S.EXE,2'\n");
    StartInProgramFolder();
    ASSERT_EQ(LoadDriverTable(), 0);
    ASSERT_EQ(DriverTable.Count, 2);
    EXPECT_STREQ(DriverTable.Rows[0].Name, "Sample A ") << "blanks next to a comma stay";
    EXPECT_EQ(DriverTable.Rows[0].VendorCode, 0x1A2B);
    EXPECT_STREQ(DriverTable.Rows[0].Command, "DRV\\A\\SETUP.EXE -s");
    EXPECT_EQ(DriverTable.Rows[0].RestartFlag, 1);
    EXPECT_EQ(DriverTable.Rows[1].RestartFlag, 2);
}

TEST_F(DriverTableTest, RowOfSeparatorsOnlyHasNoName)
{
    WriteSettings("[Drivers]\nchip0=A,1,2,0,3,S.EXE,1\nchip1=,,,\nchip2=C,1,2,0,3,S.EXE,1\n");
    StartInProgramFolder();
    EXPECT_EQ(LoadDriverTable(), kMissingName);
    EXPECT_EQ(DriverTable.Count, 1);
    EXPECT_EQ(Win.ProfileKeysRead.back(), "Drivers/chip1") << "nothing is read after a malformed row";
}

TEST_F(DriverTableTest, EmptyFirstValueMeansNoTable)
{
    WriteSettings("[Drivers]\nchip0=\nchip1=A,1,2,0,3,S.EXE,1\n");
    StartInProgramFolder();
    EXPECT_EQ(LoadDriverTable(), 0);
    EXPECT_EQ(DriverTable.Count, 0);
}
