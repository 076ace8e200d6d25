// Every row checked against what its package's INF files say it installs.
#pragma once

#include "checks/check_result.h"

#include <set>
#include <string>
#include <vector>

#include "readers/inf_package.h"

class PciIds;

// The package folders of the rows' commands and those under DRIVERS: which
// PCI devices their INF files list, and which rows use them and detect
// them. Adds the findings not-in-package, unicode-inf, not-an-inf,
// inf-signature and the notes package-covers-more, nt-reads-otherwise; the
// rows are the loaded table's. boardHostBridges are the devices that the
// board files given show as class 0600.
void CheckPackages(PackageIndex& packages, const PciIds& pciIds, const std::set<PciDevice>& boardHostBridges,
                   CheckResult* result);

// Whether the package's INF files, pci.ids or a board file give evidence
// that the listed device is a host bridge.
bool IsHostBridge(const Package& package, const PciDevice& device, const PciIds& pciIds,
                  const std::set<PciDevice>& boardHostBridges);

// The devices the package lists that are host bridges, in its order.
std::vector<PciDevice> HostBridges(const Package& package, const PciIds& pciIds,
                                   const std::set<PciDevice>& boardHostBridges);

// "list 3 PCI devices, of which 2 are host bridges", as the notes say it.
std::string ListsDevices(size_t devices, size_t hostBridges);
