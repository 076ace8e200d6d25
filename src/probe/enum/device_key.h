// How a PCI device's registry key names the device it stands for.
#pragma once

#include <windows.h>

enum { kDeviceKeyPrefixSize = 18 };  // "VEN_xxxx&DEV_yyyy" and its NUL

// Writes "VEN_xxxx&DEV_yyyy" (upper-case hexadecimal, low 16 bits of each code).
void FormatDeviceKeyPrefix(char* prefix, DWORD vendorCode, DWORD deviceCode);

// Nonzero when the key's name is prefix, or prefix followed by '&' and the
// rest of the device's description, without regard to case.
int NamesDevice(const char* keyName, const char* prefix);
