// pyxet-check's two outputs: plain text for people, and one JSON object.
#pragma once

#include <cstdio>

#include "check.h"

class PciIds;

void PrintPlain(FILE* out, const CheckResult& result, const PciIds& pciIds, const WindowsVersion& windows,
                const std::string& country);
void PrintJson(FILE* out, const CheckResult& result);
// The JSON object of a run that cannot check: {"error": message}, the
// message in UTF-8.
void PrintJsonError(FILE* out, const std::string& message);

// Settings files are in code page 1252; both outputs are UTF-8.
std::string Utf8FromCp1252(const std::string& text);
