// The INF files of a driver package folder and the PCI devices they list.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "inf_reader.h"

struct PciDevice {
    uint16_t Vendor = 0;
    uint16_t Device = 0;
    bool operator<(const PciDevice& other) const
    {
        return Vendor != other.Vendor ? Vendor < other.Vendor : Device < other.Device;
    }
    bool operator==(const PciDevice& other) const { return Vendor == other.Vendor && Device == other.Device; }
};

struct PackageInf {
    std::string Path;  // the host path
    std::string Name;  // relative to the package folder, with backslashes ("WIN98\AGP.INF")
    InfRead Read;      // Read.Problem is "cannot be read" when the file would not open
    std::set<PciDevice> PciDevices;  // of the PCI hardware and compatible IDs its models list
};

// The vendor and device of every model's PCI hardware ID and compatible IDs.
std::set<PciDevice> ListedPciDevices(const std::vector<InfModel>& models);

// Every *.INF (in any case) in the folder and its subfolders, in the order
// of their names; empty when there is none or no such folder. Only the
// first kInfFileMax + 1 bytes of a file are read: a larger one is refused.
std::vector<PackageInf> ReadPackageInfs(const std::string& folder);
