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

// The settings file's code pages other than 1252, which the checker converts
// by a table of its own: iconv on Linux, the Windows conversions on Windows.
bool HostKnowsCodePage(int codePage);
// Text in the code page as UTF-8; what the code page lacks becomes U+FFFD.
std::string HostUtf8FromCodePage(int codePage, const std::string& text);
// UTF-8 text in the code page; what it lacks becomes '?'.
std::string HostCodePageFromUtf8(int codePage, const std::string& text);
// Whether byte starts a double-byte character in the code page.
bool HostIsLeadByte(int codePage, unsigned char byte);
