// The device probe exported by ENUM.DLL with ordinal 1: nonzero when a device
// with this vendor and device code is present. Only the low 16 bits of each
// code count; the probe may write into the 128-byte buffer.
#pragma once

#include <windows.h>

enum { kProbeBufferSize = 128 };

extern "C" DWORD WINAPI ProbeDevice(DWORD vendorCode, DWORD deviceCode, char* buffer);
