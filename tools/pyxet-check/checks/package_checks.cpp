// Which of the devices a package's INF files list are host bridges: only
// those with positive evidence. An INF lists it with class 0600 (&CC_0600;
// another class there says it is none), a board file shows it as class
// 0600, or the INF's description or pci.ids's name says so in the words of
// kHostBridgeWords. pci.ids names many chips by their chipset alone, and a
// name that says nothing is no evidence: judged by the words it lacks,
// Windows 10's machine.inf had 740 of its 952 devices called host bridges.
#include "checks/package_checks.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "readers/folder_index.h"
#include "readers/inf_package.h"
#include "readers/pci_ids.h"

namespace {

// "8086:71A0 440GX - 82443GX Host bridge", or the code alone.
std::string NamedDevice(const PciIds& pciIds, const PciDevice& device)
{
    const std::string* name = pciIds.DeviceName(device.Vendor, device.Device);
    return DeviceId(device) + (name != nullptr ? " " + *name : "");
}

std::string Listed(const PciIds& pciIds, const std::vector<PciDevice>& devices)
{
    std::string text;
    for (const PciDevice& device : devices)
        text += (text.empty() ? "" : ", ") + NamedDevice(pciIds, device);
    return text;
}

std::vector<std::string> LowerWords(const std::string& text)
{
    std::vector<std::string> words(1);
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            words.back() += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!words.back().empty())
            words.emplace_back();
    }
    if (words.back().empty())
        words.pop_back();
    return words;
}

// The words that name a host bridge, each run of them as it follows in a
// name cut into lower-case words; "." stands for the end of the name
// ("SiS 620 Host"), as a "Host" followed by more is a USB host controller.
const std::vector<std::vector<std::string>> kHostBridgeWords = {
    {"host", "bridge"}, {"host", "to", "pci"}, {"host", "pci"}, {"host", "hub"}, {"host", "."},
    {"cpu", "to", "pci"}, {"cpu", "pci"}, {"processor", "to", "pci"}, {"system", "controller"},
    {"memory", "controller", "hub"}, {"dram", "controller"}, {"north", "bridge"}, {"northbridge"},
};

bool NameSaysHostBridge(const std::string& name)
{
    std::vector<std::string> words = LowerWords(name);
    words.emplace_back(".");
    for (const std::vector<std::string>& phrase : kHostBridgeWords) {
        if (std::search(words.begin(), words.end(), phrase.begin(), phrase.end()) != words.end())
            return true;
    }
    return false;
}

// The class an INF gives the device with &CC_, or -1 where none does.
int ListedClass(const Package& package, const PciDevice& device)
{
    for (const PackageInf& inf : package.Infs) {
        for (const InfModel& model : inf.Read.Models) {
            std::vector<std::string> ids = model.CompatibleIds;
            ids.push_back(model.HardwareId);
            for (const std::string& text : ids) {
                PciHardwareId id;
                if (ParsePciHardwareId(text, &id) && id.Vendor == device.Vendor && id.Device == device.Device &&
                    id.HasClass)
                    return id.BaseClass << 8 | id.SubClass;
            }
        }
    }
    return -1;
}

}  // namespace

bool IsHostBridge(const Package& package, const PciDevice& device, const PciIds& pciIds,
                  const std::set<PciDevice>& boardHostBridges)
{
    int listedClass = ListedClass(package, device);
    if (listedClass >= 0)
        return listedClass == 0x0600;
    if (boardHostBridges.count(device) != 0)
        return true;
    const std::string* name = pciIds.DeviceName(device.Vendor, device.Device);
    return (name != nullptr && NameSaysHostBridge(*name)) || NameSaysHostBridge(ListedDescription(package, device));
}

std::vector<PciDevice> HostBridges(const Package& package, const PciIds& pciIds,
                                   const std::set<PciDevice>& boardHostBridges)
{
    std::vector<PciDevice> hosts;
    for (const PciDevice& device : package.PciDevices) {
        if (IsHostBridge(package, device, pciIds, boardHostBridges))
            hosts.push_back(device);
    }
    return hosts;
}

std::string ListsDevices(size_t devices, size_t hostBridges)
{
    std::string text = "list " + std::to_string(devices) + " PCI device" + (devices == 1 ? "" : "s") + ", of which ";
    if (hostBridges == 0)
        return text + "none is a host bridge";
    return text + std::to_string(hostBridges) + (hostBridges == 1 ? " is a host bridge" : " are host bridges");
}

namespace {

// The package folder of a command: the folder part of its program, empty
// when the program is in the distributable folder itself.
std::string CommandFolder(std::string command)
{
    command.erase(0, command.find_first_not_of(" \t"));
    std::string program = !command.empty() && command[0] == '"'
                              ? command.substr(1, command.find('"', 1) - 1)
                              : command.substr(0, command.find_first_of(" \t"));
    std::vector<std::string> parts = PathParts(program);
    std::string folder;
    for (size_t i = 0; i + 1 < parts.size(); ++i)
        folder += (i ? "\\" : "") + parts[i];
    return folder;
}

bool RowDetects(const DriverEntry& row, const PciDevice& device)
{
    return row.VendorCode == device.Vendor &&
           ((row.DeviceCodes[0] != 0 && row.DeviceCodes[0] == device.Device) ||
            (row.DeviceCodes[1] != 0 && row.DeviceCodes[1] == device.Device));
}

class PackageChecker {
public:
    PackageChecker(const PciIds& pciIds, const std::set<PciDevice>& boardHostBridges, CheckResult* result)
        : pciIds_(pciIds), boardHostBridges_(boardHostBridges), result_(result) {}
    void CheckRow(int index, const Package& package);
    void CheckInfs(const Package& package);
    void Cover(const Package& package, const std::vector<std::string>& rows);

private:
    bool IsHost(const Package& package, const PciDevice& device) const
    {
        return IsHostBridge(package, device, pciIds_, boardHostBridges_);
    }
    void CheckInf(const std::string& name, const InfRead& read);

    const PciIds& pciIds_;
    const std::set<PciDevice>& boardHostBridges_;
    CheckResult* result_;
};

void PackageChecker::CheckRow(int index, const Package& package)
{
    const DriverEntry& row = result_->Rows[static_cast<size_t>(index)];
    if (package.PciDevices.empty() || (row.DeviceCodes[0] == 0 && row.DeviceCodes[1] == 0))
        return;
    std::vector<std::string> codes;
    for (WORD device : row.DeviceCodes) {
        PciDevice code = {row.VendorCode, device};
        if (device == 0)
            continue;
        if (package.PciDevices.count(code) != 0)
            return;
        codes.push_back(DeviceId(code));
    }
    std::vector<PciDevice> hosts;
    std::vector<PciDevice> others;
    for (const PciDevice& device : package.PciDevices) {
        if (IsHost(package, device))
            hosts.push_back(device);
        else
            others.push_back(device);
    }
    std::string which = codes.size() == 1 ? codes[0] + " is not" : "neither " + codes[0] + " nor " + codes[1] + " is";
    std::string lists = hosts.empty() ? "they list no host bridge, only " + Listed(pciIds_, others)
                                      : "they list the host bridges " + Listed(pciIds_, hosts);
    result_->Warnings.push_back({"chip" + std::to_string(index), "not-in-package",
                                 which + " listed by an INF file of " + package.Name + ": " + lists});
}

void PackageChecker::CheckInfs(const Package& package)
{
    for (const PackageInf& inf : package.Infs)
        CheckInf(package.Name + "\\" + inf.Name, inf.Read);
}

void PackageChecker::CheckInf(const std::string& name, const InfRead& read)
{
    if (!read.IsInf) {
        result_->Warnings.push_back({name, "not-an-inf",
                                     name + (read.Refused ? " is " + read.Problem + ": not read"
                                                          : " is no INF file: " + read.Problem) +
                                         "; Windows does not install from it"});
        return;
    }
    if (read.Unicode)
        result_->Warnings.push_back(
            {name, "unicode-inf",
             name + " is UTF-16: Windows 95 and 98 ignore Unicode INF files, so the package will not "
                    "install there as written"});
    const std::string warningStart = name + ": ";
    for (const std::string& warning : read.Warnings)
        result_->Warnings.push_back({name, "inf-signature", warningStart + warning});
    const std::string noteStart = name + ", ";
    for (const std::string& note : read.Notes)
        result_->PackageNotes.push_back({name, "nt-reads-otherwise", noteStart + note});
}

void PackageChecker::Cover(const Package& package, const std::vector<std::string>& rows)
{
    PackageCoverage coverage;
    coverage.Package = package.Name;
    coverage.Rows = rows;
    std::vector<PciDevice> uncovered;
    for (const PciDevice& device : package.PciDevices) {
        coverage.Lists.push_back(DeviceId(device));
        bool detected = false;
        for (const DriverEntry& row : result_->Rows)
            detected = detected || RowDetects(row, device);
        if (detected)
            coverage.DetectedByRows.push_back(DeviceId(device));
        if (!IsHost(package, device))
            continue;
        coverage.HostBridges.push_back(DeviceId(device));
        if (!detected) {
            uncovered.push_back(device);
            coverage.Undetected.push_back(DeviceId(device));
        }
    }
    if (!uncovered.empty())
        result_->PackageNotes.push_back(
            {package.Name, "package-covers-more",
             "its INF files " + ListsDevices(coverage.Lists.size(), coverage.HostBridges.size()) +
                 "; no row detects " + Listed(pciIds_, uncovered) + ": the CD could serve those boards too"});
    result_->Coverage.push_back(coverage);
}

}  // namespace

void CheckPackages(PackageIndex& packages, const PciIds& pciIds, const std::set<PciDevice>& boardHostBridges,
                   CheckResult* result)
{
    PackageChecker checker(pciIds, boardHostBridges, result);
    std::vector<const Package*> checked;
    std::vector<std::vector<std::string>> rowsOf;
    auto use = [&](const Package* package) -> size_t {
        size_t at = std::find(checked.begin(), checked.end(), package) - checked.begin();
        if (at == checked.size()) {
            checked.push_back(package);
            rowsOf.emplace_back();
        }
        return at;
    };
    for (size_t i = 0; i < result->Rows.size(); ++i) {
        std::string name = CommandFolder(result->Rows[i].Command);
        const Package* package = name.empty() ? nullptr : packages.Find(name);
        if (package == nullptr || package->Infs.empty())
            continue;
        rowsOf[use(package)].push_back("chip" + std::to_string(i));
        checker.CheckRow(static_cast<int>(i), *package);
    }
    for (const Package* package : packages.DriversPackages()) {
        if (!package->Infs.empty())
            use(package);
    }
    for (size_t i = 0; i < checked.size(); ++i) {
        checker.CheckInfs(*checked[i]);
        checker.Cover(*checked[i], rowsOf[i]);
    }
}
