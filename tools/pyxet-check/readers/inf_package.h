// The INF files of a driver package folder and the PCI devices they list.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "readers/inf_reader.h"
#include "readers/pci_ids.h"

struct PciDevice {
    uint16_t Vendor = 0;
    uint16_t Device = 0;
    bool operator<(const PciDevice& other) const
    {
        return Vendor != other.Vendor ? Vendor < other.Vendor : Device < other.Device;
    }
    bool operator==(const PciDevice& other) const { return Vendor == other.Vendor && Device == other.Device; }
};

// "8086:71A0".
inline std::string DeviceId(const PciDevice& device)
{
    return DeviceId(device.Vendor, device.Device);
}

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

class FolderIndex;

// A package folder of the distributable folder and what its INFs list.
struct Package {
    std::string Name;  // relative to the distributable folder, with backslashes ("DRIVERS\BX")
    std::vector<PackageInf> Infs;
    std::set<PciDevice> PciDevices;  // of all its INF files
};

// The description of the first model of the package whose hardware or
// compatible IDs name the device, or empty.
std::string ListedDescription(const Package& package, const PciDevice& device);

// The package folders of a distributable folder, each read the first time
// it is asked for and kept.
class PackageIndex {
public:
    explicit PackageIndex(const FolderIndex& folder) : folder_(folder) {}

    // The package in the folder that the Windows path names (found without
    // regard to case), or null when there is no such folder.
    const Package* Find(const std::string& relative);
    // Every folder under DRIVERS, in the order of their names.
    std::vector<const Package*> DriversPackages();

private:
    const FolderIndex& folder_;
    std::map<std::string, Package> packages_;  // by host path
};
