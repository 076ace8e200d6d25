// The Windows ANSI code page that the settings file is read in, and the
// conversions between it and the host's UTF-8 (names of host files, output).
#pragma once

#include <string>

// Whether the checker can convert code page number; 1252 always.
bool IsKnownCodePage(int codePage);

// The code page of the settings file from now on (1252 until set). The code
// page must be known.
void SetAnsiCodePage(int codePage);
int AnsiCodePage();

// Text in the code page, as UTF-8; bytes the code page lacks become U+FFFD.
std::string Utf8FromAnsi(const std::string& text);
// UTF-8 text in the code page; false when the code page cannot hold it.
bool AnsiFromUtf8(const std::string& text, std::string* ansi);

// A host name (UTF-8) in the code page, for the texts of findings, which are
// all in the code page; a character the code page lacks becomes what the
// conversion makes of it ('?' for code page 1252).
std::string AnsiFromHost(const std::string& name);

// Whether text holds bytes above 0x7F and is valid UTF-8 all the same: what
// an editor saving UTF-8 writes, which Windows reads in the code page.
bool IsUtf8BeyondAscii(const std::string& text);

// Whether byte starts a double-byte character in the code page.
bool IsAnsiLeadByte(unsigned char byte);

// Code page 1252 as UTF-8, and back, by the checker's own table; a
// character that code page 1252 lacks becomes '?'.
std::string Utf8FromCp1252(const std::string& text);
std::string Cp1252FromUtf8(const std::string& text);
