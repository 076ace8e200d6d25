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

// A Configuration Manager node's HardWareKey against the device "VEN_8086&DEV_7190".
struct HardwareKeyCase {
    const char* HardwareKey;
    bool NamesIt;
};

const HardwareKeyCase kHardwareKeyCases[] = {
    {"PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03\\BUS_00&DEV_00&FUNC_00", true},
    {"pci\\ven_8086&dev_7190&subsys_00000000&rev_03\\bus_00&dev_00&func_00", true},
    {"PCI\\VEN_8086&DEV_7190\\BUS_00&DEV_00&FUNC_00", true},
    {"PCI\\VEN_8086&DEV_7190", true},
    {"PCI\\VEN_8086&DEV_71901&SUBSYS_00000000\\BUS_00", false},
    {"PCI\\VEN_8086&DEV_7192&SUBSYS_00000000&REV_03\\BUS_00&DEV_00&FUNC_00", false},
    {"PCI\\VEN_8086&DEV_719\\BUS_00", false},
    {"PCI\\BUS_00\\VEN_8086&DEV_7190", false},
    {"ROOT\\VEN_8086&DEV_7190\\0000", false},
    {"VEN_8086&DEV_7190&SUBSYS_00000000&REV_03", false},
    {"PCIX\\VEN_8086&DEV_7190\\0000", false},
    {"PCI", false},
    {"", false},
};

TEST(DeviceKey, HardwareKeyNamesTheDeviceByItsPartUnderPci)
{
    for (const HardwareKeyCase& c : kHardwareKeyCases)
        EXPECT_EQ(HardwareKeyNamesDevice(c.HardwareKey, "VEN_8086&DEV_7190") != 0, c.NamesIt) << c.HardwareKey;
}

TEST(DeviceKey, OnlyKeysUnderPciArePciDevices)
{
    EXPECT_TRUE(IsPciHardwareKey("PCI\\VEN_1106&DEV_0305&SUBSYS_00000000&REV_02\\BUS_00&DEV_00&FUNC_00"));
    EXPECT_TRUE(IsPciHardwareKey("Pci\\CC_0600\\0"));
    EXPECT_FALSE(IsPciHardwareKey("Root\\*PNP0A03\\0000"));
    EXPECT_FALSE(IsPciHardwareKey("BIOS\\*PNP0C01\\0C"));
    EXPECT_FALSE(IsPciHardwareKey("PCI"));
    EXPECT_FALSE(IsPciHardwareKey("PCMCIA\\CARD\\1"));
}
