// Reading pci.ids: vendor lines "vvvv  Name", device lines "\tdddd  Name",
// subsystem lines with two tabs; the device classes at the end start "C ".
#include "readers/pci_ids.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "host/host.h"

std::string Hex4(unsigned code)
{
    char text[8];
    (void)std::snprintf(text, sizeof text, "%04X", code & 0xFFFF);
    return text;
}

std::string DeviceId(unsigned vendor, unsigned device)
{
    return Hex4(vendor) + ":" + Hex4(device);
}

// The code and name of "hhhh  Name" at the start of text, or false.
static bool ReadCodeAndName(const std::string& text, uint16_t* code, std::string* name)
{
    if (text.size() < 6 || text.compare(4, 2, "  ") != 0)
        return false;
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
        char c = text[i];
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    *code = static_cast<uint16_t>(value);
    *name = text.substr(6);
    return true;
}

bool PciIds::Load(const std::string& path)
{
    vendors_.clear();
    std::ifstream file(path);
    std::string line;
    Vendor* vendor = nullptr;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line.compare(0, 2, "C ") == 0)
            break;
        uint16_t code;
        std::string name;
        if (line[0] != '\t') {
            vendor = ReadCodeAndName(line, &code, &name) ? &vendors_[code] : nullptr;
            if (vendor != nullptr)
                vendor->Name = name;
        } else if (vendor != nullptr && line.size() > 1 && line[1] != '\t' &&
                   ReadCodeAndName(line.substr(1), &code, &name)) {
            vendor->Devices[code] = name;
        }
    }
    return Loaded();
}

const std::string* PciIds::VendorName(uint16_t vendor) const
{
    auto found = vendors_.find(vendor);
    return found == vendors_.end() ? nullptr : &found->second.Name;
}

const std::string* PciIds::DeviceName(uint16_t vendor, uint16_t device) const
{
    auto found = vendors_.find(vendor);
    if (found == vendors_.end())
        return nullptr;
    auto name = found->second.Devices.find(device);
    return name == found->second.Devices.end() ? nullptr : &name->second;
}

namespace {
const std::string kAgpDisabledSuffix = " (AGP disabled)";
}  // namespace

bool PciIds::IsAgpDisabled(uint16_t vendor, uint16_t device) const
{
    const std::string* name = DeviceName(vendor, device);
    return name != nullptr && name->size() > kAgpDisabledSuffix.size() &&
           name->compare(name->size() - kAgpDisabledSuffix.size(), kAgpDisabledSuffix.size(), kAgpDisabledSuffix) == 0;
}

uint16_t PciIds::AgpDisabledVariant(uint16_t vendor, uint16_t device) const
{
    const std::string* name = DeviceName(vendor, device);
    if (name == nullptr)
        return 0;
    bool disabled = IsAgpDisabled(vendor, device);
    const std::string other = disabled ? name->substr(0, name->size() - kAgpDisabledSuffix.size()) : *name + kAgpDisabledSuffix;
    for (const auto& [code, otherName] : vendors_.at(vendor).Devices) {
        if (otherName == other)
            return code;
    }
    return 0;
}

std::string PciIdsPath()
{
    const char* path = std::getenv("PYXET_PCI_IDS");
    return path != nullptr ? path : DefaultPciIdsPath();
}
