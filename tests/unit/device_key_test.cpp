// The probe library's matching of PCI device keys.
#include <gtest/gtest.h>

#include "probe/enum/device_key.h"

TEST(DeviceKey, PrefixIsUpperCaseHexOfTheLowSixteenBits)
{
    char prefix[kDeviceKeyPrefixSize];
    FormatDeviceKeyPrefix(prefix, 0x8086, 0x7190);
    EXPECT_STREQ(prefix, "VEN_8086&DEV_7190");
    FormatDeviceKeyPrefix(prefix, 0xABCD10b9, 0x1541);
    EXPECT_STREQ(prefix, "VEN_10B9&DEV_1541");
}

TEST(DeviceKey, MatchesTheWholeCodesWithoutRegardToCase)
{
    EXPECT_TRUE(NamesDevice("VEN_8086&DEV_7190&SUBSYS_00000000&REV_03", "VEN_8086&DEV_7190"));
    EXPECT_TRUE(NamesDevice("ven_10b9&dev_1541&subsys_00000000&rev_04", "VEN_10B9&DEV_1541"));
    EXPECT_TRUE(NamesDevice("VEN_1106&DEV_0598", "VEN_1106&DEV_0598"));
    EXPECT_FALSE(NamesDevice("VEN_8086&DEV_71901&SUBSYS_0", "VEN_8086&DEV_7190"));
    EXPECT_FALSE(NamesDevice("VEN_8086&DEV_719", "VEN_8086&DEV_7190"));
    EXPECT_FALSE(NamesDevice("VEN_8086&DEV_7192&REV_03", "VEN_8086&DEV_7190"));
}
