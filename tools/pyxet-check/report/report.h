// pyxet-check's two outputs: plain text for people, and one JSON object.
#pragma once

#include <cstdio>

#include "checks/check_result.h"
#include "readers/code_page.h"

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

// Both outputs are UTF-8; the settings file's texts are converted from its
// code page (code_page.h).
