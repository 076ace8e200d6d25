// The settings file's texts and its shape as a whole: languages, missing
// and cut texts, formats, repeated names, a byte-order mark.
#pragma once

#include <string>

#include "checks/check_result.h"

// The text sections: which keys fall back to section "1", which are missing
// everywhere, too long, or a format the program refuses.
void CheckTexts(CheckResult* result);

// Notes on the file as a whole (empty, NUL bytes) and a byte-order mark.
void CheckFileContents(const std::string& text, CheckResult* result);

// The message of a not-ansi finding: what (a key or a field) holds text
// that is valid UTF-8 beyond ASCII, which Windows reads in its code page.
std::string NotAnsiMessage(const std::string& what, const std::string& text);

// Sections and keys given twice, of which the program reads only the first.
void CheckRepeatedNames(const std::string& text, CheckResult* result);
