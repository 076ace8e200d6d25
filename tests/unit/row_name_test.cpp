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
    {"VIA Technologies, Inc.", "VT82C693A/694x [Apollo PRO133x]", "VIA Apollo PRO133x"},
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

// Real names, the vendor's and the device's copied exactly from pci.ids
// (Debian's /usr/share/misc/pci.ids, version 2023.04.10), each with the row
// name they give.
const struct {
    const char* Vendor;
    const char* Device;
    const char* Row;
} kRealRowNameCases[] = {
    // Too long whole: the [bracketed] product name replaces the model list.
    {"VIA Technologies, Inc.", "VT8366/A/7 [Apollo KT266/A/333]", "VIA Apollo KT266/A/333"},
    {"VIA Technologies, Inc.", "VT82C693A/694x [Apollo PRO133x]", "VIA Apollo PRO133x"},
    {"Intel Corporation", "82434LX/NX [Mercury/Neptune] Processor to PCI bridge", "Intel Mercury/Neptune"},
    // Too long even so: the product name is cut by words, a "/" left at the
    // end dropped.
    {"NVIDIA Corporation", "GA106M [GeForce RTX 3060 Mobile / Max-Q]", "NVIDIA GeForce RTX 3060 Mobile"},
    {"NVIDIA Corporation", "NV5 [Riva TNT2 Model 64 / Model 64 Pro]", "NVIDIA Riva TNT2 Model 64"},
    // The cut keeps the product name: unchanged.
    {"VIA Technologies, Inc.", "VT8623 [Apollo CLE266] integrated CastleRock graphics",
     "VIA VT8623 [Apollo CLE266]"},
    // A bracket further on lists features, no product name: not taken.
    {"ULi Electronics Inc.", "M1671 Super P4 Northbridge [AGP4X,PCI and SDR/DDR]", "ULi M1671 Super P4"},
    // Whole, or whole but for the words that say what the device does: unchanged.
    {"VIA Technologies, Inc.", "VT8363/8365 [KT133/KM133]", "VIA VT8363/8365 [KT133/KM133]"},
    {"VIA Technologies, Inc.", "VT8377 [KT400/KT600 AGP] Host Bridge", "VIA VT8377 [KT400/KT600 AGP]"},
    {"VIA Technologies, Inc.", "VT8378 [KM400/A] Chipset Host Bridge", "VIA VT8378 [KM400/A]"},
    {"VIA Technologies, Inc.", "VT8633 [Apollo Pro266]", "VIA VT8633 [Apollo Pro266]"},
    {"VIA Technologies, Inc.", "VT82C598 [Apollo MVP3]", "VIA VT82C598 [Apollo MVP3]"},
    {"VIA Technologies, Inc.", "K8T800Pro Host Bridge", "VIA K8T800Pro"},
    {"VIA Technologies, Inc.", "P4X333/P4X400/PT800 AGP Bridge", "VIA P4X333/P4X400/PT800"},
    {"Silicon Integrated Systems [SiS]", "645xx", "SiS 645xx"},
    {"Silicon Integrated Systems [SiS]", "735 Host", "SiS 735"},
    {"Silicon Integrated Systems [SiS]", "661FX/M661FX/M661MX Host", "SiS 661FX/M661FX/M661MX"},
    {"Intel Corporation", "440BX/ZX/DX - 82443BX/ZX/DX Host bridge", "Intel 440BX/ZX/DX"},
    {"Intel Corporation", "440LX/EX - 82443LX/EX Host bridge", "Intel 440LX/EX"},
    {"Intel Corporation", "430FX - 82437FX TSC [Triton I]", "Intel 430FX"},
    {"Intel Corporation", "82815 815 Chipset Host Bridge and Memory Controller Hub", "Intel 82815 815"},
    {"Intel Corporation", "82845 845 [Brookdale] Chipset Host Bridge", "Intel 82845 845 [Brookdale]"},
    // A bracket within a word is no product name: cut by words as before.
    {"Intel Corporation", "82845G/GL[Brookdale-G]/GE/PE DRAM Controller/Host-Hub Interface",
     "82845G/GL[Brookdale-G]/GE/PE"},
    {"ULi Electronics Inc.", "M1541", "ULi M1541"},
    {"Advanced Micro Devices, Inc. [AMD]", "AMD-751 [Irongate] System Controller", "AMD-751 [Irongate]"},
    {"Advanced Micro Devices, Inc. [AMD]", "AMD-760 [IGD4-1P] System Controller", "AMD-760 [IGD4-1P]"},
    {"Advanced Micro Devices, Inc. [AMD]", "AMD-760 MP [IGD4-2P] System Controller", "AMD-760 MP [IGD4-2P]"},
    {"NVIDIA Corporation", "nForce3 250Gb Host Bridge", "NVIDIA nForce3 250Gb"},
    {"NVIDIA Corporation", "nForce2 IGP2", "NVIDIA nForce2 IGP2"},
};

template <typename Cases>
void ExpectRowNames(const Cases& cases)
{
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Device);
        std::string row = RowName(test.Vendor, test.Device);
        EXPECT_EQ(row, test.Row);
        EXPECT_LE(row.size(), kRowNameMax);
    }
}

TEST(RowName, CutsToWhatTellsChipsetsApart)
{
    ExpectRowNames(kRowNameCases);
}

TEST(RowName, GivesRealPciIdsNamesTheirRows)
{
    ExpectRowNames(kRealRowNameCases);
}

}  // namespace
