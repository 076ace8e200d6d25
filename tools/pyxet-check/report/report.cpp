// Printing the findings.
#include "report/report.h"

#include "checks/package_checks.h"
#include "propose/propose.h"
#include "readers/code_page.h"
#include "readers/pci_ids.h"

namespace {

// The report's writes. A failed write is not checked here, at each line:
// main checks the standard output once, after the whole report.
template <typename... Values>
void Print(FILE* out, const char* format, Values... values)
{
    (void)std::fprintf(out, format, values...);
}

void Print(FILE* out, const char* text)
{
    (void)std::fputs(text, out);
}

// UTF-8 text as a JSON string.
std::string JsonText(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        unsigned char code = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (code < 0x20) {
            char escaped[8];
            (void)std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Text of the settings file, in its code page, as a JSON string.
std::string JsonString(const std::string& text)
{
    return JsonText(Utf8FromAnsi(text));
}

std::string JsonFindings(const std::vector<Finding>& findings)
{
    std::string out = "[";
    for (size_t i = 0; i < findings.size(); ++i) {
        const Finding& finding = findings[i];
        out += std::string(i ? "," : "") + "\n    {\"key\": " + JsonString(finding.Key) +
               ", \"kind\": " + JsonString(finding.Kind) + ", \"message\": " + JsonString(finding.Message) + "}";
    }
    return out + (findings.empty() ? "]" : "\n  ]");
}

std::string JsonStrings(const std::vector<std::string>& texts)
{
    std::string out = "[";
    for (size_t i = 0; i < texts.size(); ++i)
        out += (i ? ", " : "") + JsonString(texts[i]);
    return out + "]";
}

std::string JsonRow(const DriverEntry& row, int index)
{
    return "\n    {\"key\": \"chip" + std::to_string(index) + "\", \"name\": " + JsonString(row.Name) +
           ", \"vendor\": \"" + Hex4(row.VendorCode) + "\", \"devices\": [\"" + Hex4(row.DeviceCodes[0]) +
           "\", \"" + Hex4(row.DeviceCodes[1]) + "\"], \"flags\": " + std::to_string(row.SupportFlags) +
           ", \"command\": " + JsonString(row.Command) + ", \"restart\": " + std::to_string(row.RestartFlag) + "}";
}

std::string JsonOptional(const std::optional<std::string>& text)
{
    return text ? JsonString(*text) : "null";
}

std::string JsonWhatIf(const WhatIfResult& whatIf)
{
    std::vector<std::string> probes;
    for (const auto& [vendor, device] : whatIf.Probes)
        probes.push_back(Hex4(vendor) + ":" + Hex4(device));
    return "{\"board\": " + JsonText(whatIf.Board) + ", \"probes\": " + JsonStrings(probes) +
           ", \"detected\": " + (whatIf.Detected >= 0 ? std::to_string(whatIf.Detected) : "null") +
           ", \"supported\": " + (whatIf.Supported ? "true" : "false") +
           ", \"dialogs\": " + JsonStrings(whatIf.Dialogs) + ", \"folder\": " + JsonOptional(whatIf.Folder) +
           ", \"starts\": " + JsonOptional(whatIf.Starts) + "}";
}

// One board's what-if as an object, several as an array of them.
std::string JsonWhatIfs(const std::vector<WhatIfResult>& whatIfs)
{
    if (whatIfs.size() == 1)
        return JsonWhatIf(whatIfs[0]);
    std::string out = "[";
    for (size_t i = 0; i < whatIfs.size(); ++i)
        out += std::string(i ? "," : "") + "\n    " + JsonWhatIf(whatIfs[i]);
    return out + "\n  ]";
}

// "Intel Corporation: 440BX/ZX/DX - 82443BX/ZX/DX Host bridge" as lspci names it.
std::string PciName(const PciIds& pciIds, WORD vendor, WORD device)
{
    const std::string* vendorName = pciIds.VendorName(vendor);
    const std::string* deviceName = pciIds.DeviceName(vendor, device);
    return Hex4(vendor) + ":" + Hex4(device) + " " + (vendorName ? *vendorName : "unknown vendor") + " " +
           (deviceName ? *deviceName : "unknown device");
}

void PrintFinding(FILE* out, const char* level, const Finding& finding)
{
    Print(out, "%-8s %-8s %s: %s\n", level, Utf8FromAnsi(finding.Key).c_str(), finding.Kind.c_str(),
                 Utf8FromAnsi(finding.Message).c_str());
}

void PrintRows(FILE* out, const CheckResult& result, const PciIds& pciIds)
{
    Print(out, "[Drivers] as the program loads it: %zu row%s%s\n", result.Rows.size(),
                 result.Rows.size() == 1 ? "" : "s",
                 result.LoadResult < 0 ? ", then a malformed row that stops it" : "");
    for (size_t i = 0; i < result.Rows.size(); ++i) {
        const DriverEntry& row = result.Rows[i];
        Print(out, "  chip%-3zu %-31s %s %s %s  flags %X  restart %X  %s\n", i,
                     Utf8FromAnsi(row.Name).c_str(), Hex4(row.VendorCode).c_str(),
                     Hex4(row.DeviceCodes[0]).c_str(), Hex4(row.DeviceCodes[1]).c_str(), row.SupportFlags,
                     row.RestartFlag, Utf8FromAnsi(row.Command).c_str());
        if (!pciIds.Loaded())
            continue;
        for (WORD device : row.DeviceCodes) {
            if (device != 0)
                Print(out, "           %s\n", PciName(pciIds, row.VendorCode, device).c_str());
        }
    }
}

// One line per package: what its INF files list and how many are host
// bridges, the rows that use it, the host bridges no row detects.
void PrintPackages(FILE* out, const CheckResult& result)
{
    for (const PackageCoverage& coverage : result.Coverage) {
        std::string undetected;
        for (const std::string& device : coverage.Undetected)
            undetected += " " + device;
        std::string hosts = coverage.HostBridges.empty() ? ""
                            : undetected.empty()        ? "; no row misses a listed host bridge"
                                                        : "; no row detects the listed host bridge" +
                                                       std::string(coverage.Undetected.size() == 1 ? "" : "s") +
                                                       undetected;
        Print(out, "Package %s: its INF files %s; %zu row%s use%s it%s\n",
                     Utf8FromAnsi(coverage.Package).c_str(),
                     ListsDevices(coverage.Lists.size(), coverage.HostBridges.size()).c_str(), coverage.Rows.size(),
                     coverage.Rows.size() == 1 ? "" : "s", coverage.Rows.size() == 1 ? "s" : "", hosts.c_str());
    }
}

std::string JsonCoverage(const std::vector<PackageCoverage>& coverage)
{
    std::string out = "{";
    for (size_t i = 0; i < coverage.size(); ++i)
        out += std::string(i ? "," : "") + "\n    " + JsonString(coverage[i].Package) +
               ": {\"lists\": " + JsonStrings(coverage[i].Lists) +
               ", \"detected_by_rows\": " + JsonStrings(coverage[i].DetectedByRows) +
               ",\n      \"host_bridges\": " + JsonStrings(coverage[i].HostBridges) +
               ", \"undetected\": " + JsonStrings(coverage[i].Undetected) +
               ", \"rows\": " + JsonStrings(coverage[i].Rows) + "}";
    return out + (coverage.empty() ? "}" : "\n  }");
}

void PrintLanguages(FILE* out, const CheckResult& result)
{
    Print(out, "Languages:");
    for (const Language& language : result.Languages) {
        Print(out, " [%s]", Utf8FromAnsi(language.Section).c_str());
        if (!language.Missing.empty())
            Print(out, " (%zu from [1])", language.Missing.size());
    }
    Print(out, "%s\n", result.Languages.empty() ? " none" : "");
}

void PrintWhatIf(FILE* out, const WhatIfResult& whatIf, const CheckResult& result, const WindowsVersion& windows,
                 const std::string& country)
{
    Print(out, "What if, for the board of %s on %s with country code %s:\n", whatIf.Board.c_str(),
                 WindowsTitle(windows).c_str(), country.c_str());
    Print(out, "  probes, in order:");
    for (const auto& [vendor, device] : whatIf.Probes)
        Print(out, " %s:%s", Hex4(vendor).c_str(), Hex4(device).c_str());
    Print(out, "%s\n", whatIf.Probes.empty() ? " none" : "");
    if (whatIf.Detected >= 0) {
        const DriverEntry& row = result.Rows[whatIf.Detected];
        Print(out, "  detected: chip%d \"%s\"; its driver (flags %X) %s %s\n", whatIf.Detected,
                     Utf8FromAnsi(row.Name).c_str(), row.SupportFlags,
                     whatIf.Supported ? "supports" : "does not support", WindowsTitle(windows).c_str());
    } else {
        Print(out, "  detected: nothing\n");
    }
    for (size_t i = 0; i < whatIf.Dialogs.size(); ++i)
        Print(out, "  %s: %s\n", i == 0 ? "the user sees first" : "then", Utf8FromAnsi(whatIf.Dialogs[i]).c_str());
}

std::string JsonOrNull(const std::string& text)
{
    return text.empty() ? "null" : JsonString(text);
}

std::string JsonProposal(const Proposal& proposal)
{
    int index = proposal.Key.empty() ? 0 : std::stoi(proposal.Key.substr(4));
    std::vector<std::string> devices;
    for (const PciDevice& device : proposal.Devices)
        devices.push_back(DeviceId(device));
    return "\n    {\"board\": " + JsonText(proposal.Board) + ", \"devices\": " + JsonStrings(devices) +
           ", \"host\": " + (proposal.Host ? JsonString(Hex4(proposal.Host->Vendor) + ":" + Hex4(proposal.Host->Device)) : "null") +
           ",\n     \"row\": " + (proposal.Row ? JsonRow(*proposal.Row, index).substr(5) : "null") +
           ",\n     \"package\": " + JsonOrNull(proposal.Package) + ", \"why\": " + JsonStrings(proposal.Why) +
           ",\n     \"already_detected_by\": " +
           (proposal.AlreadyDetectedBy >= 0 ? "\"chip" + std::to_string(proposal.AlreadyDetectedBy) + "\"" : "null") +
           ", \"reached\": " + (proposal.Reached ? "true" : "false") + ", \"reach\": " + JsonOrNull(proposal.Reach) +
           ", \"written\": " + (proposal.Written ? "true" : "false") + ", \"error\": " + JsonOrNull(proposal.Error) + "}";
}

void PrintProposalPlain(FILE* out, const Proposal& proposal, const PciIds& pciIds)
{
    Print(out, "Board %s:", proposal.Board.c_str());
    if (proposal.Host)
        Print(out, " host bridge %s", PciName(pciIds, proposal.Host->Vendor, proposal.Host->Device).c_str());
    Print(out, "\n  the board lists %zu devices\n", proposal.Devices.size());
    for (const std::string& why : proposal.Why)
        Print(out, "  %s\n", Utf8FromAnsi(why).c_str());
    if (proposal.Row) {
        Print(out, "%s=%s\n", proposal.Key.c_str(), Utf8FromAnsi(proposal.Value).c_str());
        if (proposal.AlreadyDetectedBy >= 0)
            Print(out, "  the table detects this board already: chip%d \"%s\" would win\n", proposal.AlreadyDetectedBy,
                         Utf8FromAnsi(TableRow(proposal.AlreadyDetectedBy).Name).c_str());
        else
            Print(out, "  the table does not detect this board yet\n");
        Print(out, "  the new row %s: %s\n", proposal.Reached ? "would be reached" : "would not be reached",
                     proposal.Reach.c_str());
    }
    if (proposal.Written)
        Print(out, "  written as %s\n", proposal.Key.c_str());
    if (!proposal.Error.empty())
        Print(out, "error: %s\n", Utf8FromAnsi(proposal.Error).c_str());
}

// What the program does when the user installs the detected driver.
std::string LaunchSummary(const WhatIfResult& whatIf)
{
    if (!whatIf.Starts)
        return "starts nothing";
    std::string folder = whatIf.Folder ? "makes \"" + *whatIf.Folder + "\" current" : "keeps the current folder";
    return folder + " and starts \"" + *whatIf.Starts + "\"";
}

// One line for the board: its file, the row detected, the support, and the launch.
void PrintBoardSummary(FILE* out, const WhatIfResult& whatIf, const CheckResult& result)
{
    std::string summary;
    if (result.LoadResult < 0)
        summary = "no row: the program stops at the malformed row";
    else if (whatIf.Detected < 0)
        summary = "no row detected: the program starts nothing unless the user chooses a driver";
    else
        summary = "chip" + std::to_string(whatIf.Detected) + " \"" + result.Rows[whatIf.Detected].Name + "\", " +
                  (whatIf.Supported ? "supported" : "not supported") + ": the program " + LaunchSummary(whatIf);
    Print(out, "  %s: %s\n", whatIf.Board.c_str(), Utf8FromAnsi(summary).c_str());
}

}  // namespace

void PrintProposals(FILE* out, bool json, const std::string& settingsFile, const std::vector<Proposal>& proposals,
                    const PciIds& pciIds)
{
    if (json) {
        std::string items = "[";
        for (size_t i = 0; i < proposals.size(); ++i)
            items += (i ? "," : "") + JsonProposal(proposals[i]);
        Print(out, "{\n  \"settings\": %s,\n  \"proposals\": %s\n}\n", JsonString(settingsFile).c_str(),
                     (items + (proposals.empty() ? "]" : "\n  ]")).c_str());
        return;
    }
    Print(out, "Settings file: %s\n", settingsFile.c_str());
    for (const Proposal& proposal : proposals)
        PrintProposalPlain(out, proposal, pciIds);
}

void PrintPlain(FILE* out, const CheckResult& result, const PciIds& pciIds, const WindowsVersion& windows,
                const std::string& country)
{
    Print(out, "Settings file: %s\n", result.SettingsFile.empty() ? "none" : result.SettingsFile.c_str());
    for (const std::string& note : result.Notes)
        Print(out, "note: %s\n", note.c_str());
    if (!result.SettingsFile.empty()) {
        PrintRows(out, result, pciIds);
        PrintPackages(out, result);
        PrintLanguages(out, result);
    }
    for (const Finding& finding : result.Errors)
        PrintFinding(out, "error", finding);
    for (const Finding& finding : result.Warnings)
        PrintFinding(out, "warning", finding);
    for (const Finding& finding : result.PackageNotes)
        PrintFinding(out, "note", finding);
    for (const WhatIfResult& whatIf : result.WhatIfs)
        PrintWhatIf(out, whatIf, result, windows, country);
    if (!result.WhatIfs.empty())
        Print(out, "Boards:\n");
    for (const WhatIfResult& whatIf : result.WhatIfs)
        PrintBoardSummary(out, whatIf, result);
    Print(out, "%zu error%s, %zu warning%s\n", result.Errors.size(), result.Errors.size() == 1 ? "" : "s",
                 result.Warnings.size(), result.Warnings.size() == 1 ? "" : "s");
}

void PrintJson(FILE* out, const CheckResult& result)
{
    std::string rows = "[";
    for (size_t i = 0; i < result.Rows.size(); ++i)
        rows += (i ? "," : "") + JsonRow(result.Rows[i], static_cast<int>(i));
    rows += result.Rows.empty() ? "]" : "\n  ]";
    std::string languages = "{";
    for (size_t i = 0; i < result.Languages.size(); ++i)
        languages += std::string(i ? "," : "") + "\n    " + JsonString(result.Languages[i].Section) +
                     ": {\"missing\": " + JsonStrings(result.Languages[i].Missing) + "}";
    languages += result.Languages.empty() ? "}" : "\n  }";
    Print(out, "{\n  \"settings\": %s,\n  \"rows\": %s,\n  \"errors\": %s,\n  \"warnings\": %s,\n"
                      "  \"languages\": %s,\n  \"notes\": %s",
                 result.SettingsFile.empty() ? "null" : JsonText(result.SettingsFile).c_str(), rows.c_str(),
                 JsonFindings(result.Errors).c_str(), JsonFindings(result.Warnings).c_str(), languages.c_str(),
                 JsonStrings(result.Notes).c_str());
    Print(out, ",\n  \"package_notes\": %s,\n  \"coverage\": %s", JsonFindings(result.PackageNotes).c_str(),
                 JsonCoverage(result.Coverage).c_str());
    if (!result.WhatIfs.empty())
        Print(out, ",\n  \"whatif\": %s", JsonWhatIfs(result.WhatIfs).c_str());
    Print(out, "\n}\n");
}

void PrintJsonError(FILE* out, const std::string& message)
{
    Print(out, "{\n  \"error\": %s\n}\n", JsonText(message).c_str());
}
