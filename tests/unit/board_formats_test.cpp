// The board readers over every listing a CD author can make: one 440BX board
// (host bridge 8086:7190, AGP bridge 8086:7191, PIIX4 8086:7110) in each
// form lspci and REGEDIT give it, and the listings that must be refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "readers/boards.h"

namespace {

// The text in UTF-16 with its byte order mark, as a Windows editor saves it.
std::string Utf16(const std::string& ascii, bool bigEndian = false)
{
    std::string wide = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii)
        wide += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return wide;
}

// A REG_MULTI_SZ as REGEDIT 5 writes it: UTF-16LE bytes in hex, 16 a line.
std::string Hex7(const std::vector<std::string>& strings)
{
    std::string bytes;
    for (const std::string& text : strings)
        bytes += Utf16(text).substr(2) + std::string(2, '\0');
    bytes += std::string(2, '\0');
    std::string hex = "hex(7):";
    for (size_t i = 0; i < bytes.size(); ++i) {
        char pair[4];
        (void)std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(bytes[i]));
        hex += pair + std::string(i + 1 == bytes.size() ? "" : (i % 16 == 15 ? ",\\\r\n  " : ","));
    }
    return hex;
}

std::string XpKey(const std::string& device, const std::string& instance, const std::string& classCode)
{
    const std::string key = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_8086&DEV_" + device +
                            "&SUBSYS_00000000&REV_03";
    return key + "]\r\n\r\n" + key + "\\" + instance + "]\r\n\"HardwareID\"=" +
           Hex7({"PCI\\VEN_8086&DEV_" + device + "&SUBSYS_00000000&REV_03"}) + "\r\n\"CompatibleIDs\"=" +
           Hex7({"PCI\\VEN_8086&DEV_" + device + "&CC_" + classCode + "00", "PCI\\CC_" + classCode}) + "\r\n\r\n";
}

const std::string kXpExport = Utf16("Windows Registry Editor Version 5.00\r\n\r\n" + XpKey("7191", "3&61aaa01&0&08", "0604") +
                                    XpKey("7190", "3&61aaa01&0&00", "0600") + XpKey("7110", "3&61aaa01&0&38", "0601"));

const std::string kWin98Export =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03]\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03\\BUS_00&DEV_00&FUNC_00]\r\n"
    "\"HardwareID\"=\"PCI\\\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03,PCI\\\\VEN_8086&DEV_7190&CC_0600\"\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_7191&SUBSYS_00000000&REV_03\\BUS_00&DEV_01&FUNC_00]\r\n"
    "\"HardwareID\"=\"PCI\\\\VEN_8086&DEV_7191&CC_0604\"\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_7110&SUBSYS_00000000&REV_02\\BUS_00&DEV_07&FUNC_00]\r\n";

const std::string kLspciNn =
    "00:00.0 Host bridge [0600]: Intel Corporation 440BX/ZX/DX - 82443BX/ZX/DX Host bridge [8086:7190] (rev 03)\n"
    "00:01.0 PCI bridge [0604]: Intel Corporation 440BX/ZX/DX - 82443BX/ZX/DX AGP bridge [8086:7191] (rev 03)\n"
    "00:07.0 ISA bridge [0601]: Intel Corporation 82371AB/EB/MB PIIX4 ISA [8086:7110] (rev 02)\n";

// One record of lspci -vmm and its numeric forms: the slot's key, class,
// vendor and device as printed.
std::string Record(const char* slotKey, const std::string& slot, const std::string& cls, const std::string& vendor,
                   const std::string& device)
{
    return std::string(slotKey) + "\t" + slot + "\nClass:\t" + cls + "\nVendor:\t" + vendor + "\nDevice:\t" + device +
           "\nRev:\t03\n\n";
}

struct FormatCase {
    const char* Name;
    BoardFormat Format;
    std::string Text;
};

const FormatCase kSameBoard[] = {
    {"lspci -n, pciutils before 2005", BoardFormat::Lspci,
     "00:00.0 Class 0600: 8086:7190 (rev 03)\n00:01.0 Class 0604: 8086:7191 (rev 03)\n"
     "00:07.0 Class 0601: 8086:7110 (rev 02)\n"},
    {"lspci -n", BoardFormat::Lspci, "00:00.0 0600: 8086:7190 (rev 03)\n00:01.0 0604: 8086:7191 (rev 03)\n00:07.0 0601: 8086:7110\n"},
    {"lspci -n, the AGP bridge first", BoardFormat::Lspci,
     "00:01.0 Class 0604: 8086:7191 (rev 03)\n00:00.0 Class 0600: 8086:7190 (rev 03)\n00:07.0 Class 0601: 8086:7110\n"},
    {"lspci -nn", BoardFormat::Lspci, kLspciNn},
    {"lspci -nnk, detail lines with codes", BoardFormat::Lspci,
     "00:00.0 Host bridge [0600]: Intel Corporation 440BX [8086:7190] (rev 03)\n\tSubsystem: Dell Device [1028:00aa]\n"
     "\tKernel driver in use: agpgart-intel\n00:01.0 PCI bridge [0604]: Intel Corporation AGP bridge [8086:7191]\n"
     "    Kernel modules: shpchp\n00:07.0 Bridge [0601]: Intel Corporation PIIX4 ISA [8086:7110] (rev 02)\n"},
    {"lspci -vn, domains, a slot-like line in a detail block", BoardFormat::Lspci,
     "0000:00:00.0 Class 0600: 8086:7190 (rev 03)\n\tFlags: bus master, medium devsel, latency 64\n"
     "\t00:1f.0 Class 0600: 8086:2448\n\n0000:00:01.0 Class 0604: 8086:7191 (rev 03)\n"
     "\tBus: primary=00, secondary=01, subordinate=01, sec-latency=64\n\n0000:00:07.0 Class 0601: 8086:7110 (rev 02)\n"
     "\tSubsystem: 8086:7190\n"},
    {"lspci -vvn wrapped by a mailer", BoardFormat::Lspci,
     "00:00.0 Class 0600: 8086:7190 (rev 03)\n         Control: I/O- Mem+ BusMaster+ \nParErr- Stepping-\n"
     "00:01.0 Class 0604: 8086:7191 (rev 03)\n00:07.0 Class 0601: 8086:7110 (rev 02)\n"},
    {"lspci -n pasted with a leading blank, CR LF", BoardFormat::Lspci,
     " 00:00.0 0600: 8086:7190 (rev 03)\r\n 00:01.0 0604: 8086:7191 (rev 03)\r\n \t00:02.0 0600: 8086:2448\r\n"
     " 00:07.0 0601: 8086:7110\r\n"},
    {"lspci -mn", BoardFormat::Lspci,
     "00:00.0 \"0600\" \"8086\" \"7190\" -r03 \"\" \"\"\n00:01.0 \"0604\" \"8086\" \"7191\" -r03 \"\" \"\"\n"
     "00:07.0 \"0601\" \"8086\" \"7110\" -r02 \"\" \"\"\n"},
    {"lspci -mn, pciutils before 2005", BoardFormat::Lspci,
     "00:00.0 \"Class 0600\" \"8086\" \"7190\" -r03 \"\" \"\"\n00:01.0 \"Class 0604\" \"8086\" \"7191\" \"\" \"\"\n"
     "00:07.0 \"Class 0601\" \"8086\" \"7110\" \"\" \"\"\n"},
    {"lspci -mnn", BoardFormat::Lspci,
     "00:00.0 \"Host bridge [0600]\" \"Intel Corporation [8086]\" \"440BX/ZX/DX - 82443BX/ZX/DX Host bridge [7190]\" "
     "-r03 \"\" \"\"\n00:01.0 \"PCI bridge [0604]\" \"Intel Corporation [8086]\" \"AGP bridge [7191]\" -r03 \"\" \"\"\n"
     "00:07.0 \"ISA bridge [0601]\" \"Intel Corporation [8086]\" \"82371AB/EB/MB PIIX4 ISA [7110]\" \"\" \"\"\n"},
    {"lspci -vmmn", BoardFormat::Lspci,
     Record("Slot:", "00:00.0", "0600", "8086", "7190") + Record("Slot:", "00:01.0", "0604", "8086", "7191") +
         Record("Slot:", "00:07.0", "0601", "8086", "7110")},
    {"lspci -vmmn, the slot as a first Device line", BoardFormat::Lspci,
     Record("Device:", "00:00.0", "0600", "8086", "7190") + Record("Device:", "00:01.0", "0604", "8086", "7191") +
         Record("Device:", "00:07.0", "0601", "8086", "7110")},
    {"lspci -vmmnn, domains", BoardFormat::Lspci,
     Record("Slot:", "0000:00:00.0", "Host bridge [0600]", "Intel Corporation [8086]", "440BX Host bridge [7190]") +
         Record("Slot:", "0000:00:01.0", "PCI bridge [0604]", "Intel Corporation [8086]", "AGP bridge [7191]") +
         Record("Slot:", "0000:00:07.0", "ISA bridge [0601]", "Intel [Corp] [8086]", "PIIX4 [ISA] [7110]")},
    {"lspci -nn in UTF-16LE", BoardFormat::Lspci, Utf16(kLspciNn)},
    {"lspci -nn in UTF-16BE", BoardFormat::Lspci, Utf16(kLspciNn, true)},
    {"Windows 98 REGEDIT4", BoardFormat::Reg, kWin98Export},
    {"Windows XP export, hex(7) IDs", BoardFormat::Reg, kXpExport},
};

TEST(BoardFormats, SameBoardInEveryFormat)
{
    for (const FormatCase& test : kSameBoard) {
        SCOPED_TRACE(test.Name);
        std::vector<BoardDevice> devices;
        std::vector<std::string> keys;
        std::string error;
        ASSERT_TRUE(ReadBoardDevices(test.Text, test.Format, &devices, &error)) << error;
        ASSERT_TRUE(ReadDeviceKeys(test.Text, test.Format, &keys, &error)) << error;
        std::set<std::string> read;
        for (const BoardDevice& device : devices) {
            char code[16];
            (void)std::snprintf(code, sizeof code, "%04x:%04x%s", device.Vendor, device.Device, device.HostBridge ? " host" : "");
            read.insert(code);
            EXPECT_TRUE(AnyKeyNamesDevice(keys, device.Vendor, device.Device)) << code;
        }
        EXPECT_EQ(devices.size(), 3u);
        EXPECT_EQ(read, (std::set<std::string>{"8086:7190 host", "8086:7191", "8086:7110"}));
        EXPECT_FALSE(AnyKeyNamesDevice(keys, 0x8086, 0x2448));
    }
}

// Each: a listing the readers refuse, and what the reason says.
TEST(BoardFormats, RefusedListingsSayWhatToRun)
{
    const struct {
        const char* Name;
        std::string Text;
        const char* Reason;
    } cases[] = {
        {"plain lspci",
         "00:00.0 Host bridge: Intel Corp. 440BX/ZX - 82443BX/ZX Host bridge (rev 03)\n"
         "00:01.0 PCI bridge: Intel Corp. 440BX/ZX - 82443BX/ZX AGP bridge (rev 03)\n",
         "without their codes"},
        {"lspci -m", "00:00.0 \"Host bridge\" \"Intel Corporation\" \"440BX/ZX/DX Host bridge\" -r03 \"\" \"\"\n",
         "without their codes"},
        {"lspci -vmm", Record("Slot:", "00:00.0", "Host bridge", "Intel Corporation", "440BX/ZX/DX Host bridge"),
         "without their codes"},
        {"no listing", "Host bridge: Intel 440BX\n", "no device line"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Name);
        std::vector<BoardDevice> devices;
        std::vector<std::string> keys;
        std::string devicesError;
        std::string keysError;
        EXPECT_FALSE(ReadBoardDevices(test.Text, BoardFormat::Lspci, &devices, &devicesError));
        EXPECT_FALSE(ReadDeviceKeys(test.Text, BoardFormat::Lspci, &keys, &keysError));
        EXPECT_EQ(devicesError, keysError);
        EXPECT_NE(devicesError.find(test.Reason), std::string::npos) << devicesError;
        EXPECT_NE(devicesError.find("lspci -nn"), std::string::npos) << devicesError;
    }
}

}  // namespace
