// How a PCI device's registry key names the device it stands for.
#pragma once

#include <windows.h>

enum { kDeviceKeyPrefixSize = 18 };  // "VEN_xxxx&DEV_yyyy" and its NUL

// Writes "VEN_xxxx&DEV_yyyy" (upper-case hexadecimal, low 16 bits of each code).
void FormatDeviceKeyPrefix(char* prefix, DWORD vendorCode, DWORD deviceCode);

// Nonzero when the key's name is prefix, or prefix followed by '&' and the
// rest of the device's description, without regard to case.
int NamesDevice(const char* keyName, const char* prefix);

// A device node of the Configuration Manager's list names its key under
// HKLM\Enum in its HardWareKey value; a PCI device's reads
// "PCI\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03\BUS_00&DEV_00&FUNC_00".
// Nonzero when hardwareKey lies under PCI\ (without regard to case).
int IsPciHardwareKey(const char* hardwareKey);

// Nonzero when hardwareKey lies under PCI\ and its device part, the name
// between PCI\ and the next backslash, names the device by NamesDevice's rule.
int HardwareKeyNamesDevice(const char* hardwareKey, const char* prefix);
