// How a row is proposed for a board:
//
// - The device is the board's host bridge; an AGP bridge (class 0604) is
//   shared between chipsets and never chosen. The second code is the
//   chipset's other host bridge where pci.ids names one of the two as the
//   other's "AGP disabled" variant, else 0.
// - The package is the folder under DRIVERS whose INF files list the host
//   bridge, else the one whose INF files list another of the board's
//   devices; --package names it where several or none do, and always wins.
//   A package whose INF files are all UTF-16 is the NT family's: Windows
//   95/98 ignore such files, so it is proposed only when --package names it.
//   The command is its SETUP.EXE, else its INSTALL.EXE.
// - The name is pci.ids's, by the row name rule; the INF's description where
//   pci.ids has none. Commas, the row's separator, are dropped.
// - The flags are 3 unless --flags says otherwise: an INF's $Chicago$ covers
//   Windows 95 and 98 alike (not said of a UTF-16 package). Restart 1.
#include "propose/propose.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>

#include "checks/package_checks.h"
#include "profile_reader.h"
#include "propose/row_name.h"
#include "propose/settings_writer.h"
#include "readers/code_page.h"
#include "readers/folder_index.h"
#include "readers/pci_ids.h"

namespace fs = std::filesystem;

namespace {

// The packages' names, joined for a message.
std::string Names(const std::vector<const Package*>& packages)
{
    std::string text;
    for (const Package* package : packages)
        text += (text.empty() ? "" : ", ") + package->Name;
    return text;
}

// The INF files of the package that list the device.
std::string InfsListing(const Package& package, const PciDevice& device)
{
    std::string text;
    for (const PackageInf& inf : package.Infs) {
        if (inf.PciDevices.count(device) != 0)
            text += (text.empty() ? "" : ", ") + inf.Name;
    }
    return text;
}

// The package's INF files joined for a message when every one read is
// UTF-16, the NT family's form that Windows 95 and 98 ignore; else empty.
std::string Utf16Infs(const Package& package)
{
    std::string names;
    for (const PackageInf& inf : package.Infs) {
        if (inf.Read.IsInf && !inf.Read.Unicode)
            return "";
        if (inf.Read.IsInf)
            names += (names.empty() ? "" : ", ") + inf.Name;
    }
    return names;
}

// The board's devices of class 0600: evidence that a listed device is a host bridge.
std::set<PciDevice> HostBridgesOf(const std::vector<BoardDevice>& devices)
{
    std::set<PciDevice> hosts;
    for (const BoardDevice& device : devices) {
        if (device.HostBridge)
            hosts.insert(PciDevice{device.Vendor, device.Device});
    }
    return hosts;
}

std::vector<const Package*> PackagesListing(const std::vector<const Package*>& packages, const PciDevice& device)
{
    std::vector<const Package*> listing;
    for (const Package* package : packages) {
        if (package->PciDevices.count(device) != 0)
            listing.push_back(package);
    }
    return listing;
}

class Proposer {
public:
    explicit Proposer(const ProposeContext& context) : context_(context), nextKey_(FirstMissingKey()) {}
    Proposal Propose(const std::string& boardName, const std::vector<BoardDevice>& devices,
                     const std::vector<std::string>& keys);

private:
    static int FirstMissingKey();
    const Package* ChoosePackage(const std::vector<BoardDevice>& devices, Proposal* proposal);
    std::string ChooseCommand(const Package& package, Proposal* proposal);
    std::string ChooseName(const Package& package, Proposal* proposal);
    bool RowCanBeReached(const std::vector<std::string>& keys, Proposal* proposal);
    void Write(Proposal* proposal);

    const ProposeContext& context_;
    int nextKey_;
};

// The key that the next row takes: the first chipN the settings file lacks.
int Proposer::FirstMissingKey()
{
    int index = 0;
    while (!ReadSetting("Drivers", "chip" + std::to_string(index), 2).empty())
        ++index;
    return index;
}

Proposal Proposer::Propose(const std::string& boardName, const std::vector<BoardDevice>& devices,
                           const std::vector<std::string>& keys)
{
    Proposal proposal;
    proposal.Board = boardName;
    for (const BoardDevice& device : devices)
        proposal.Devices.push_back(PciDevice{device.Vendor, device.Device});
    for (const BoardDevice& device : devices) {
        if (device.HostBridge) {
            proposal.Host = PciDevice{device.Vendor, device.Device};
            break;
        }
    }
    if (!proposal.Host) {
        proposal.Error = "the board has no host bridge (no device of class 0600, no CC_0600 in a HardwareID or "
                         "CompatibleIDs): no row is proposed";
        return proposal;
    }
    const Package* package = ChoosePackage(devices, &proposal);
    if (package == nullptr)
        return proposal;
    proposal.Package = package->Name;
    size_t hosts = HostBridges(*package, context_.Ids, HostBridgesOf(devices)).size();
    proposal.Why.push_back("the INF files of " + package->Name + " " + ListsDevices(package->PciDevices.size(), hosts));
    std::string utf16 = Utf16Infs(*package);
    const ProposeOptions& options = context_.Options;
    std::string unread;
    if (!utf16.empty())
        unread = package->Name + "'s INF files are all UTF-16 (" + utf16 +
                 "), which Windows 95 and 98 ignore: Windows 9x will not read that package";
    if (!unread.empty() && options.Package.empty()) {
        proposal.Error = unread + "; name it with --package to propose a row all the same";
        return proposal;
    }
    std::string command = ChooseCommand(*package, &proposal);
    if (command.empty())
        return proposal;
    std::string name = ChooseName(*package, &proposal);

    const PciDevice host = *proposal.Host;
    WORD second = context_.Ids.AgpDisabledVariant(host.Vendor, host.Device);
    if (second != 0 && context_.Ids.IsAgpDisabled(host.Vendor, host.Device))
        proposal.Why.push_back("the second code " + Hex4(second) + " is the same chipset's host bridge with AGP " +
                               "enabled, of which pci.ids names " + Hex4(host.Device) + " the \"AGP disabled\" variant");
    else if (second != 0)
        proposal.Why.push_back("the second code " + Hex4(second) + " is the same chipset's host bridge that pci.ids names " +
                               "as the \"AGP disabled\" variant of " + Hex4(host.Device));
    else
        proposal.Why.push_back("pci.ids names no \"AGP disabled\" variant of " + DeviceId(host) +
                               ": the second code is 0");
    if (options.FlagsGiven)
        proposal.Why.push_back("flags " + options.Flags + ", as --flags says");
    else if (!unread.empty())
        proposal.Why.push_back("flags 3, as --package names the package, though " + unread);
    else
        proposal.Why.push_back("flags 3 (Windows 95 and Windows 98/ME): an INF cannot tell Windows 95 from "
                               "Windows 98, $Chicago$ covers both; --flags says otherwise");
    proposal.Why.push_back("restart 1: the user is offered a restart after the setup program");

    proposal.Key = "chip" + std::to_string(nextKey_);
    proposal.Value = name + "," + Hex4(host.Vendor) + "," + Hex4(host.Device) + "," +
                     (second != 0 ? Hex4(second) : "0") + "," + options.Flags + "," + command + ",1";
    DriverEntry row = {};
    if (ParseDriverRow(proposal.Value.c_str(), &row) != 0) {
        proposal.Error = "the program would not read the row " + proposal.Value + " (is the command over 127 characters?)";
        return proposal;
    }
    proposal.Row = row;
    // The row joins the table for the boards after this one only when it
    // would detect this board and, with --write, was written.
    std::optional<TrialRow> trial;
    if (RowCanBeReached(keys, &proposal)) {
        trial.emplace(row);
        proposal.Reached = RunProgram(boardName, keys, context_.LoadResult).Detected == nextKey_;
        proposal.Reach = proposal.Reached
                             ? proposal.Key + " would be read (20 rows at most) and would detect this board first"
                             : "the new row would not detect this board";
    }
    if (options.Write)
        Write(&proposal);
    if (proposal.Reached && (!options.Write || proposal.Written)) {
        trial->Keep();
        ++nextKey_;
    }
    return proposal;
}

const Package* Proposer::ChoosePackage(const std::vector<BoardDevice>& devices, Proposal* proposal)
{
    const PciDevice host = *proposal->Host;
    const std::string& named = context_.Options.Package;
    if (!named.empty()) {
        const Package* package = context_.Packages.Find(named);
        if (package == nullptr) {
            proposal->Error = "there is no package folder " + named + " in the folder";
            return nullptr;
        }
        std::string listing = InfsListing(*package, host);
        proposal->Why.push_back(package->Name + " as --package names it; " +
                                (listing.empty() ? "no INF of it lists " + DeviceId(host)
                                                 : listing + " lists the host bridge " + DeviceId(host)));
        return package;
    }
    std::vector<const Package*> all = context_.Packages.DriversPackages();
    std::vector<const Package*> listing = PackagesListing(all, host);
    if (listing.size() == 1) {
        proposal->Why.push_back(listing[0]->Name + " is the package whose INF files list the host bridge " +
                                DeviceId(host) + " (" + InfsListing(*listing[0], host) + ")");
        return listing[0];
    }
    if (listing.size() > 1) {
        proposal->Error = "the INF files of several packages list the host bridge " + DeviceId(host) + ": " +
                          Names(listing) + "; name one with --package";
        return nullptr;
    }
    for (const BoardDevice& device : devices) {
        const PciDevice other = {device.Vendor, device.Device};
        listing = PackagesListing(all, other);
        if (listing.size() == 1) {
            proposal->Why.push_back("no package's INF files list the host bridge " + DeviceId(host) + "; " +
                                    listing[0]->Name + " is the package whose INF files list the board's " +
                                    DeviceId(other) + " (" + InfsListing(*listing[0], other) + ")");
            return listing[0];
        }
        if (listing.size() > 1) {
            proposal->Error = "no package's INF files list the host bridge " + DeviceId(host) +
                              ", and several list the board's " + DeviceId(other) + ": " + Names(listing) +
                              "; name one with --package";
            return nullptr;
        }
    }
    proposal->Error = "no INF file of a package under DRIVERS lists a device of this board; name the package "
                      "with --package";
    return nullptr;
}

std::string Proposer::ChooseCommand(const Package& package, Proposal* proposal)
{
    for (const char* program : {"SETUP.EXE", "INSTALL.EXE"}) {
        std::string found = context_.Folder.FindFile(package.Name + "\\" + program);
        if (found.empty())
            continue;
        std::string command = fs::path(found).lexically_relative(context_.Folder.Root()).generic_string();
        for (char& c : command)
            c = c == '/' ? '\\' : c;
        proposal->Why.push_back("the command is the package's setup program " + command);
        return command;
    }
    proposal->Error = package.Name + " holds no SETUP.EXE and no INSTALL.EXE: there is no command to propose";
    return "";
}

std::string Proposer::ChooseName(const Package& package, Proposal* proposal)
{
    const PciDevice host = *proposal->Host;
    const std::string* vendorName = context_.Ids.VendorName(host.Vendor);
    const std::string* deviceName = context_.Ids.DeviceName(host.Vendor, host.Device);
    std::string name;
    if (deviceName != nullptr) {
        name = RowName(vendorName != nullptr ? *vendorName : "", *deviceName);
        proposal->Why.push_back("the name is cut from pci.ids's \"" + (vendorName ? *vendorName : "") + "\" and \"" +
                                *deviceName + "\" by the row name rule");
    } else if (!(name = RowName("", ListedDescription(package, host))).empty()) {
        proposal->Why.push_back("pci.ids does not name " + DeviceId(host) + ": the name is cut from the INF's \"" +
                                ListedDescription(package, host) + "\"");
    } else {
        name = RowName(vendorName != nullptr ? *vendorName : "", Hex4(host.Device));
        proposal->Why.push_back("neither pci.ids nor an INF names " + DeviceId(host) +
                                ": the name is the vendor's and the device code");
    }
    std::string plain;
    for (char c : Cp1252FromUtf8(name)) {
        if (c != ',')
            plain += c;
    }
    return plain;
}

// Whether the table detects the board already; false, with the reason,
// when the table leaves the new row no chance to detect it.
bool Proposer::RowCanBeReached(const std::vector<std::string>& keys, Proposal* proposal)
{
    WhatIfResult before = RunProgram(proposal->Board, keys, context_.LoadResult);
    proposal->AlreadyDetectedBy = before.Detected;
    if (context_.LoadResult < 0)
        proposal->Reach = "the table stops at a malformed row (chip" + std::to_string(TableCount()) +
                          "), so the program detects nothing";
    else if (before.Detected >= 0)
        proposal->Reach = "chip" + std::to_string(before.Detected) +
                          " detects this board already, and the first matching row wins";
    else if (nextKey_ >= kMaxDrivers || TableCount() >= kMaxDrivers)
        proposal->Reach = "the table holds 20 rows, all the program reads";
    else
        return true;
    return false;
}

void Proposer::Write(Proposal* proposal)
{
    const std::string path = SettingsFile();
    if (proposal->AlreadyDetectedBy >= 0 && context_.LoadResult >= 0) {
        proposal->Error = "not written: chip" + std::to_string(proposal->AlreadyDetectedBy) +
                          " detects this board already";
        return;
    }
    if (!proposal->Reached) {
        proposal->Error = "not written: " + proposal->Reach;
        return;
    }
    std::string text = ReadProfileFile(path);
    std::string changed;
    std::string error;
    if (!InsertDriverRow(text, proposal->Key, proposal->Value, &changed, &error) ||
        !ReplaceFile(path, changed, &error)) {
        proposal->Error = "not written: " + error;
        return;
    }
    proposal->Written = true;
}

}  // namespace

std::vector<Proposal> ProposeRows(const ProposeContext& context, const std::vector<std::string>& boardNames,
                                  const std::vector<std::vector<BoardDevice>>& boards,
                                  const std::vector<std::vector<std::string>>& boardKeys)
{
    Proposer proposer(context);
    std::vector<Proposal> proposals;
    for (size_t i = 0; i < boards.size(); ++i)
        proposals.push_back(proposer.Propose(boardNames[i], boards[i], boardKeys[i]));
    return proposals;
}
