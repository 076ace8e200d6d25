// The name a proposed row gets from the PCI ID list's vendor and device names.
#pragma once

#include <string>

// A chipset's row name, at most kRowNameMax characters, by the rule given in
// row_name.cpp ("Intel 440BX/ZX/DX" from "Intel Corporation" and
// "440BX/ZX/DX - 82443BX/ZX/DX Host bridge"). Empty when deviceName is.
constexpr size_t kRowNameMax = 31;
std::string RowName(const std::string& vendorName, const std::string& deviceName);
