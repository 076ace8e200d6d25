// Every row checked against what its package's INF files say it installs.
#pragma once

#include "checks/check_result.h"

class PackageIndex;
class PciIds;

// The package folders of the rows' commands and those under DRIVERS: which
// PCI devices their INF files list, and which rows use them and detect
// them. Adds the findings not-in-package, unicode-inf, not-an-inf and the
// notes package-covers-more; the rows are the loaded table's.
void CheckPackages(PackageIndex& packages, const PciIds& pciIds, CheckResult* result);
