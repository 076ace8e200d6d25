// The PCI ID list that lspci uses (Debian's pci.ids package), for the names
// of vendors and devices.
#pragma once

#include <map>
#include <string>

#include <cstdint>

// A code as lspci writes it: four upper-case hexadecimal digits ("71A0").
std::string Hex4(unsigned code);
// A vendor and a device as lspci writes them: "8086:71A0".
std::string DeviceId(unsigned vendor, unsigned device);

class PciIds {
public:
    // Reads the list; false when the file is missing or holds no vendor.
    bool Load(const std::string& path);
    bool Loaded() const { return !vendors_.empty(); }

    // The names, or null when the list does not know the code.
    const std::string* VendorName(uint16_t vendor) const;
    const std::string* DeviceName(uint16_t vendor, uint16_t device) const;

    // The same chipset's other host bridge when the list names one of the two
    // as the other's "AGP disabled" variant (Intel 440BX: 7190 and 7192), or 0.
    uint16_t AgpDisabledVariant(uint16_t vendor, uint16_t device) const;
    // Whether the list names the device as a chipset's "AGP disabled" variant.
    bool IsAgpDisabled(uint16_t vendor, uint16_t device) const;

private:
    struct Vendor {
        std::string Name;
        std::map<uint16_t, std::string> Devices;
    };
    std::map<uint16_t, Vendor> vendors_;
};

// Where the list is: $PYXET_PCI_IDS when set, else the host's place for it
// (DefaultPciIdsPath).
std::string PciIdsPath();
