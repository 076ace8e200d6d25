// Reading a driver package's Windows 9x INF files as far as hardware matching
// needs them: the signature, the manufacturers, their models and the PCI
// hardware IDs each model installs. The rules are listed in inf_reader.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The bounds of what the reader keeps. A field longer than kInfFieldMax is
// cut there; a section name longer than kInfSectionNameMax makes the file
// unreadable; a field after %key% substitution is cut at kInfStringMax; a
// file of more than kInfFileMax bytes is refused unread.
constexpr size_t kInfFieldMax = 511;
constexpr size_t kInfSectionNameMax = 255;
constexpr size_t kInfStringMax = 4096;
constexpr size_t kInfFileMax = 1024 * 1024;

// One line of a models section: description=install-section,hardware-id[,compatible-id...]
struct InfModel {
    std::string Manufacturer;   // the [Manufacturer] line's name, strings substituted
    std::string ModelsSection;  // as named there, with its decoration ("VIA.NTx86")
    std::string Description;    // strings substituted
    std::string InstallSection;
    std::string HardwareId;
    std::vector<std::string> CompatibleIds;
};

struct InfRead {
    bool IsInf = false;    // read, and [Version] has a Signature
    bool Unicode = false;  // UTF-16: read all the same, but Windows 95/98 ignore it
    bool Refused = false;  // over kInfFileMax bytes, not read
    std::string Problem;   // why it is no INF or was refused; empty when IsInf
    std::vector<InfModel> Models;  // in file order; only when IsInf
    std::vector<std::string> Warnings;  // what Windows may not accept: a signature none of the three
    std::vector<std::string> Notes;     // where the NT family reads the file otherwise than Windows 9x
};

// Reads one file's bytes.
InfRead ReadInf(const char* data, size_t size);

// A PCI hardware ID: PCI\VEN_vvvv&DEV_dddd[&SUBSYS_ssssssss][&REV_rr][&CC_ccss[pp]].
struct PciHardwareId {
    uint16_t Vendor = 0;
    uint16_t Device = 0;
    bool HasSubsystem = false;
    uint32_t Subsystem = 0;  // subsystem device in the high word, its vendor in the low
    bool HasRevision = false;
    uint8_t Revision = 0;
    bool HasClass = false;
    uint8_t BaseClass = 0;
    uint8_t SubClass = 0;
    bool HasProgrammingInterface = false;
    uint8_t ProgrammingInterface = 0;
};

// Parses a PCI hardware ID in any case; false for other buses and for any
// other form (digits missing or extra, suffixes out of order or repeated).
bool ParsePciHardwareId(std::string_view text, PciHardwareId* id);

// The ID in the form Windows writes it (upper case, the suffixes it holds).
std::string FormatPciHardwareId(const PciHardwareId& id);
