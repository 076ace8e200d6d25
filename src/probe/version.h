// The Windows version gate and the per-driver support rule.
#pragma once

#include <windows.h>

// Fills the version record of the program state once. Returns the build
// number on the Windows 95/98 family, -1 on other platforms, -2 when the
// version cannot be read (the record then keeps major version 0).
int QueryWindowsVersion();

// 1 when a driver with these support flags supports the running Windows:
// bit 0 covers minor versions below 10, bit 1 those of 10 and above.
int IsDriverSupported(WORD flags);
