// The row name rule over names as pci.ids gives them.
#include <gtest/gtest.h>

#include "propose/row_name.h"

namespace {

const struct {
    const char* Vendor;
    const char* Device;
    const char* Row;
} kRowNameCases[] = {
    {"Intel Corporation", "440BX/ZX/DX - 82443BX/ZX/DX Host bridge", "Intel 440BX/ZX/DX"},
    {"Intel Corporation", "440GX - 82443GX Host bridge (AGP disabled)", "Intel 440GX"},
    {"Intel Corporation", "82815 815 Chipset Host Bridge and Memory Controller Hub", "Intel 82815 815"},
    {"VIA Technologies, Inc.", "VT8363/8365 [KT133/KM133]", "VIA VT8363/8365 [KT133/KM133]"},
    {"VIA Technologies, Inc.", "VT82C693A/694x [Apollo PRO133x]", "VIA VT82C693A/694x"},
    {"Silicon Integrated Systems [SiS]", "620 Host", "SiS 620"},
    {"Silicon Integrated Systems [SiS]", "SiS645 Host & Memory & AGP Controller", "SiS645"},
    {"Advanced Micro Devices, Inc. [AMD]", "AMD-751 [Irongate] System Controller", "AMD-751 [Irongate]"},
    {"ULi Electronics Inc.", "M1541", "ULi M1541"},
    {"", "VIA KT266 CPU to PCI Bridge", "VIA KT266"},
    {"Intel Corporation", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 Host", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"},
    {"Intel Corporation", "", ""},
    // The limit of 31 characters at n-1, n and n+1: a name that fits is kept whole.
    {"Intel Corporation", "Abcdefghij Klmnopqrst Uv", "Intel Abcdefghij Klmnopqrst Uv"},
    {"Intel Corporation", "Abcdefghij Klmnopqrst Uvw", "Intel Abcdefghij Klmnopqrst Uvw"},
    {"Intel Corporation", "Abcdefghij Klmnopqrst Uvwx", "Intel Abcdefghij Klmnopqrst"},
};

TEST(RowName, CutsToWhatTellsChipsetsApart)
{
    for (const auto& test : kRowNameCases) {
        SCOPED_TRACE(test.Device);
        std::string row = RowName(test.Vendor, test.Device);
        EXPECT_EQ(row, test.Row);
        EXPECT_LE(row.size(), kRowNameMax);
    }
}

}  // namespace
