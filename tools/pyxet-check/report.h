// pyxet-check's two outputs: plain text for people, and one JSON object.
#pragma once

#include <cstdio>

#include "check.h"

class PciIds;
struct Proposal;

void PrintPlain(FILE* out, const CheckResult& result, const PciIds& pciIds, const WindowsVersion& windows,
                const std::string& country);
void PrintJson(FILE* out, const CheckResult& result);
// The JSON object of a run that cannot check: {"error": message}, the
// message in UTF-8.
void PrintJsonError(FILE* out, const std::string& message);

// The proposals of --propose, plain or as one JSON object.
void PrintProposals(FILE* out, bool json, const std::string& settingsFile, const std::vector<Proposal>& proposals,
                    const PciIds& pciIds);

// Settings files are in code page 1252; both outputs are UTF-8.
std::string Utf8FromCp1252(const std::string& text);
// pci.ids is UTF-8; a character that code page 1252 lacks becomes '?'.
std::string Cp1252FromUtf8(const std::string& text);
