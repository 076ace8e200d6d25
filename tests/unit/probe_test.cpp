// The version gate, the support rule and chipset detection.
#include "fixture.h"

#include "probe/detect.h"
#include "probe/version.h"

using ProbeTest = ProgramTest;

static void SetWindows(DWORD major, DWORD minor, DWORD build, DWORD platform)
{
    Win.Version = {148, major, minor, build, platform, ""};
}

TEST_F(ProbeTest, VersionProbeYieldsBuildOnNinetyFiveFamily)
{
    SetWindows(4, 0, 0x040003B6, VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_EQ(QueryWindowsVersion(), 950) << "the low 16 bits of the build";
    EXPECT_EQ(ProgramState.Version.dwOSVersionInfoSize, 148u);
    SetWindows(5, 1, 2600, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(QueryWindowsVersion(), -1);
    EXPECT_EQ(ProgramState.Version.dwMajorVersion, 5u);
}

TEST_F(ProbeTest, FailedVersionProbeKeepsZeroVersion)
{
    Win.VersionFails = true;
    EXPECT_EQ(QueryWindowsVersion(), -2);
    EXPECT_EQ(ProgramState.Version.dwMajorVersion, 0u);
    EXPECT_EQ(IsDriverSupported(3), 0);
}

TEST_F(ProbeTest, SupportRuleUsesMinorVersion)
{
    SetWindows(4, 0, 950, VER_PLATFORM_WIN32_WINDOWS);
    QueryWindowsVersion();
    EXPECT_EQ(IsDriverSupported(1), 1);
    EXPECT_EQ(IsDriverSupported(3), 1);
    EXPECT_EQ(IsDriverSupported(2), 0);
    EXPECT_EQ(IsDriverSupported(0xFFFC), 0);

    SetWindows(4, 10, 2222, VER_PLATFORM_WIN32_WINDOWS);
    QueryWindowsVersion();
    EXPECT_EQ(IsDriverSupported(2), 1);
    EXPECT_EQ(IsDriverSupported(1), 0);
    EXPECT_EQ(IsDriverSupported(0), 0);

    SetWindows(4, 90, 3000, VER_PLATFORM_WIN32_WINDOWS);
    QueryWindowsVersion();
    EXPECT_EQ(IsDriverSupported(2), 1);

    SetWindows(5, 1, 2600, VER_PLATFORM_WIN32_NT);
    QueryWindowsVersion();
    EXPECT_EQ(IsDriverSupported(1), 1) << "5.1 has a minor version below 10";

    SetWindows(3, 95, 0, VER_PLATFORM_WIN32_WINDOWS);
    QueryWindowsVersion();
    EXPECT_EQ(IsDriverSupported(3), 0) << "nothing below major version 4";
}

TEST_F(ProbeTest, BuildNumberIsItsLowSixteenBits)
{
    SetWindows(4, 10, 0x040A08AE, VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_EQ(QueryWindowsVersion(), 2222);
    SetWindows(4, 0, 0xFFFF04BB, VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_EQ(QueryWindowsVersion(), 1211) << "never a negative number";
}

static void AddRow(const char* name, WORD vendor, WORD device1, WORD device2)
{
    DriverEntry& row = DriverTable.Rows[DriverTable.Count++];
    row = DriverEntry{};
    strcpy(row.Name, name);
    row.VendorCode = vendor;
    row.DeviceCodes[0] = device1;
    row.DeviceCodes[1] = device2;
}

TEST_F(ProbeTest, EmptyTableProbesNothing)
{
    EXPECT_EQ(DetectChipset(), -1);
    EXPECT_TRUE(Win.Probes.empty());
}

TEST_F(ProbeTest, FirstConfirmedRowWinsInTableOrder)
{
    AddRow("none", 0x1039, 0, 0);
    AddRow("second slot", 0x1A2B, 0, 0x0C3D);
    AddRow("also present", 0x8086, 0x7190, 0);
    Win.PresentDevices = {{0x1A2B, 0x0C3D}, {0x8086, 0x7190}};
    EXPECT_EQ(DetectChipset(), 1);
    std::vector<std::pair<DWORD, DWORD>> expected = {{0x1A2B, 0x0C3D}};
    EXPECT_EQ(Win.Probes, expected) << "zero slots are never probed";
}

TEST_F(ProbeTest, SecondSlotOnlyWhenFirstMisses)
{
    AddRow("A", 0x8086, 0x7190, 0x7192);
    AddRow("B", 0x1106, 0x0598, 0x0691);
    Win.PresentDevices = {{0x8086, 0x7190}, {0x8086, 0x7192}};
    EXPECT_EQ(DetectChipset(), 0);
    EXPECT_EQ(Win.Probes.size(), 1u);

    Win.Probes.clear();
    Win.PresentDevices = {};
    EXPECT_EQ(DetectChipset(), -1);
    std::vector<std::pair<DWORD, DWORD>> expected = {
        {0x8086, 0x7190}, {0x8086, 0x7192}, {0x1106, 0x0598}, {0x1106, 0x0691}};
    EXPECT_EQ(Win.Probes, expected);
    EXPECT_EQ(Win.ProbeBuffers.size(), 1u) << "one buffer serves every probe of a run";
}

TEST_F(ProbeTest, RowWithoutDeviceCodesIsSkipped)
{
    AddRow("no codes", 0x8086, 0, 0);
    AddRow("first slot empty", 0x10B9, 0, 0x1541);
    Win.PresentDevices = {{0x8086, 0}, {0x10B9, 0x1541}};
    EXPECT_EQ(DetectChipset(), 1) << "an empty slot never matches, even when the probe would say yes";
    std::vector<std::pair<DWORD, DWORD>> expected = {{0x10B9, 0x1541}};
    EXPECT_EQ(Win.Probes, expected);
}
