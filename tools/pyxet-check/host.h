// What pyxet-check does differently on the host it runs on: Linux, or
// 64-bit Windows (pyxet-check.exe). Each host has its own file:
// host_posix.cpp and host_windows.cpp, the latter compiled against the real
// windows.h rather than the stand-in the program's sources see.
#pragma once

#include <string>

// Where pci.ids is when $PYXET_PCI_IDS does not say: Debian's place for it,
// or on Windows the folder that holds pyxet-check.exe.
std::string DefaultPciIdsPath();

// Makes the standard output ready for a report. On Windows the JSON object is
// written in binary mode, so that its bytes are the same as on Linux; plain
// text gets CR LF line ends in a file or a pipe, and in a console it is shown
// as Unicode (the report is UTF-8, which a console's code page is not).
void SetUpStandardOutput(bool json);
