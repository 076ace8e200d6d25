// The [Drivers] checks. The rows are loaded and parsed by the program's own
// loader and row parser; what is judged here is only what those leave
// unsaid: rows the program never reads, codes it reads differently from how
// they are written, files the commands name.
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <strings.h>

#include "check.h"
#include "disk_names.h"
#include "folder_index.h"
#include "pci_ids.h"
#include "profile_reader.h"

namespace {

const char* const kFieldNames[] = {"name", "vendor", "device1", "device2", "flags", "command", "restart"};
enum { kFieldCount = 7, kCommandField = 5 };
// Large enough to see that a value is longer than the program's 255 characters.
enum { kLongValueSize = 1024 };
const char kStops[] = "the program stops with \"Cannot open initial file\"";

std::string RowKey(int index)
{
    return "chip" + std::to_string(index);
}

std::string Hex4(WORD value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

std::string DeviceId(WORD vendor, WORD device)
{
    return Hex4(vendor) + ":" + Hex4(device);
}

// The row's value as the loader reads it (size 256), or longer.
std::string ReadRow(const std::string& key, DWORD size = kTextSize)
{
    std::vector<char> buffer(size);
    DWORD length = GetPrivateProfileStringA("Drivers", key.c_str(), "", buffer.data(), size,
                                            ProgramState.SettingsPath);
    return std::string(buffer.data(), length);
}

// The row's fields as the row parser splits them.
std::vector<std::string> SplitRow(const std::string& value)
{
    std::vector<std::string> fields;
    RowFieldCursor cursor = {value.c_str()};
    char field[kTextSize];
    while (fields.size() < kFieldCount && TakeRowField(&cursor, field, kTextSize) != 0)
        fields.push_back(field);
    return fields;
}

class TableChecker {
public:
    TableChecker(const FolderIndex& folder, const PciIds& pciIds, CheckResult* result)
        : folder_(folder), pciIds_(pciIds), result_(result)
    {
    }
    void Run();

private:
    void Error(const std::string& key, const char* kind, const std::string& message)
    {
        result_->Errors.push_back({key, kind, message});
    }
    void Warn(const std::string& key, const char* kind, const std::string& message)
    {
        result_->Warnings.push_back({key, kind, message});
    }
    void CheckRow(int index, const std::string& value);
    void ReportMalformed(const std::string& key, int code, const std::vector<std::string>& fields);
    void CheckFields(const std::string& key, const std::vector<std::string>& fields);
    void CheckDetection(int index, const DriverEntry& row);
    void CheckCommand(const std::string& key, const std::string& command);
    void CheckPciIds(const std::string& key, const DriverEntry& row);
    void CheckUnreadKeys(const std::vector<std::string>& keys, int firstMissing);

    const FolderIndex& folder_;
    const PciIds& pciIds_;
    CheckResult* result_;
    std::map<std::pair<WORD, WORD>, int> claims_;  // vendor and device code -> first row probing them
};

void TableChecker::Run()
{
    result_->LoadResult = LoadDriverTable();
    result_->Rows.assign(DriverTable.Rows, DriverTable.Rows + DriverTable.Count);

    int index = 0;
    for (; index < kMaxDrivers; ++index) {
        std::string value = ReadRow(RowKey(index));
        if (value.empty())
            break;
        CheckRow(index, value);
    }
    if (index == 0)
        Error("Drivers", "no-rows",
              "there is no chip0 in [Drivers]: the program offers no driver and detects nothing");

    std::vector<std::string> keys = ProfileKeyNames(ReadProfileFile(ProgramState.SettingsPath), "Drivers");
    int firstMissing = index;
    if (index == kMaxDrivers) {
        // No more rows can follow in a run than the section has keys.
        while (firstMissing - kMaxDrivers < static_cast<int>(keys.size()) &&
               !ReadRow(RowKey(firstMissing)).empty())
            ++firstMissing;
        if (firstMissing > kMaxDrivers)
            Warn(RowKey(kMaxDrivers), "too-many-rows",
                 "the program reads 20 rows at most: chip20 to " + RowKey(firstMissing - 1) +
                     " are never read");
    }
    CheckUnreadKeys(keys, firstMissing);
}

void TableChecker::CheckRow(int index, const std::string& value)
{
    const std::string key = RowKey(index);
    std::string whole = ReadRow(key, kLongValueSize);
    if (whole.size() > kTextSize - 1)
        Warn(key, "text-cut",
             "the row is " + std::string(whole.size() >= kLongValueSize - 1 ? "over " : "") +
                 std::to_string(whole.size()) + " characters long: the program reads only its first 255");

    std::vector<std::string> fields = SplitRow(value);
    DriverEntry row = {};
    int code = ParseDriverRow(value.c_str(), &row);
    if (code != 0) {
        ReportMalformed(key, code, fields);
        return;
    }
    CheckFields(key, fields);
    CheckDetection(index, row);
    if (row.SupportFlags == 0 || (row.SupportFlags & ~3) != 0)
        Warn(key, "bad-flags",
             "flags " + Hex4(row.SupportFlags) +
                 ": bit 0 stands for Windows 95, bit 1 for Windows 98 and ME, and no other bit counts" +
                 ((row.SupportFlags & 3) == 0 ? "; this driver is refused on every Windows" : ""));
    if (row.RestartFlag > 1)
        Warn(key, "bad-restart",
             "restart flag " + Hex4(row.RestartFlag) + ": only 1 offers a restart, and 0 is the other value");
    CheckCommand(key, row.Command);
    CheckPciIds(key, row);
}

void TableChecker::ReportMalformed(const std::string& key, int code,
                                   const std::vector<std::string>& fields)
{
    std::string what;
    if (code == kMissingName)
        what = "the row holds only separators, so it has no name";
    else if (code == kMissingCommand && fields.size() > kCommandField)
        what = "the command is " + std::to_string(fields[kCommandField].size()) +
               " characters long, over the 127 that the program holds";
    else
        what = std::string("the row has no ") + kFieldNames[-code - 1] + " field (it has " +
               std::to_string(fields.size()) + " of 7)";
    Error(key, "malformed", what + ": " + kStops + ", and the user sees nothing else");
}

// Why the hexadecimal reader reads field as another code than it shows, or
// empty when it reads what is written.
std::string HexProblem(const std::string& field)
{
    size_t p = field.find_first_not_of(" \t\n\v\f\r");
    if (p == std::string::npos)
        return "has no hexadecimal digits";
    if (field[p] == '+' || field[p] == '-')
        ++p;
    if (field.compare(p, 2, "0x") == 0 || field.compare(p, 2, "0X") == 0)
        p += 2;
    size_t digits = field.find_first_not_of("0123456789abcdefABCDEF", p);
    if (digits == std::string::npos)
        digits = field.size();
    if (digits == p)
        return "has no hexadecimal digits";
    size_t rest = field.find_first_not_of(" \t\n\v\f\r", digits);
    if (rest != std::string::npos)
        return "holds \"" + field.substr(rest, 1) + "\", where the hexadecimal reader stops";
    size_t significant = field.find_first_not_of('0', p);
    if (significant != std::string::npos && significant < digits && digits - significant > 4)
        return "has more than 4 significant digits, and only the last 4 count";
    return "";
}

void TableChecker::CheckFields(const std::string& key, const std::vector<std::string>& fields)
{
    if (fields[0].size() > kNameSize - 1)
        Warn(key, "name-cut",
             "the name is " + std::to_string(fields[0].size()) +
                 " characters long: the dialogs show its first 31, \"" +
                 fields[0].substr(0, kNameSize - 1) + "\"");
    for (int i = 1; i < kFieldCount; ++i) {
        if (i == kCommandField)
            continue;
        std::string problem = HexProblem(fields[i]);
        if (!problem.empty())
            Warn(key, "not-hex",
                 std::string("the ") + kFieldNames[i] + " field \"" + fields[i] + "\" " + problem +
                     ": it reads as " + Hex4(ReadHexField(fields[i].c_str())));
    }
}

void TableChecker::CheckDetection(int index, const DriverEntry& row)
{
    const std::string key = RowKey(index);
    if (row.DeviceCodes[0] == 0 && row.DeviceCodes[1] == 0) {
        Warn(key, "never-detected",
             "both device codes are 0, so the row is never probed: it can only be chosen from the list");
        return;
    }
    bool anyOwn = false;
    for (WORD device : row.DeviceCodes) {
        if (device == 0)
            continue;
        auto claim = claims_.emplace(std::make_pair(row.VendorCode, device), index);
        if (claim.second || claim.first->second == index) {
            anyOwn = true;
            continue;
        }
        Warn(key, "duplicate-device",
             DeviceId(row.VendorCode, device) + " is claimed by " + RowKey(claim.first->second) +
                 " already, which the detection tries first");
    }
    if (!anyOwn)
        Warn(key, "duplicate-device", "every device code of the row is claimed earlier: the row is never detected");
}

}  // namespace

std::string ProgramPath(std::string command)
{
    command.erase(0, command.find_first_not_of(" \t"));
    if (!command.empty() && command[0] == '"') {
        size_t close = command.find('"', 1);
        return command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return command.substr(0, command.find_first_of(" \t"));
}

namespace {

void TableChecker::CheckCommand(const std::string& key, const std::string& command)
{
    std::string program = ProgramPath(command);
    if (program.find(':') != std::string::npos || program[0] == '\\' || program[0] == '/') {
        Error(key, "missing-setup",
              "the command starts " + program +
                  ", a path outside the folder; the program starts commands relative to its own folder");
        return;
    }
    std::vector<std::string> parts = PathParts(program);
    // WinExec adds ".EXE" to a program name without an extension.
    if (!parts.empty() && parts.back().find('.') == std::string::npos) {
        parts.back() += ".EXE";
        program += ".EXE";
    }
    if (folder_.FindFile(program).empty())
        Error(key, "missing-setup", "the command names " + program + ", which is not in the folder");
    CheckCommandNames(key, parts, result_);
}

void TableChecker::CheckPciIds(const std::string& key, const DriverEntry& row)
{
    if (!pciIds_.Loaded())
        return;
    if (pciIds_.VendorName(row.VendorCode) == nullptr) {
        Warn(key, "unknown-pci-id", "pci.ids knows no vendor " + Hex4(row.VendorCode));
        return;
    }
    for (WORD device : row.DeviceCodes) {
        if (device != 0 && pciIds_.DeviceName(row.VendorCode, device) == nullptr)
            Warn(key, "unknown-pci-id", "pci.ids knows no device " + DeviceId(row.VendorCode, device));
    }
}

// The index of a chipN key name, or -1; leadingZeros tells of "chip01".
int RowIndexOfKey(const std::string& name, bool* leadingZeros)
{
    if (name.size() < 5 || name.size() > 12 || strncasecmp(name.c_str(), "chip", 4) != 0)
        return -1;
    std::string digits = name.substr(4);
    if (digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    *leadingZeros = digits.size() > 1 && digits[0] == '0';
    return std::stoi(digits);
}

// The chipN keys after a missing one, and those with leading zeros: the
// loader never asks for them.
void TableChecker::CheckUnreadKeys(const std::vector<std::string>& keys, int firstMissing)
{
    std::set<std::string> seen;
    for (const std::string& name : keys) {
        bool leadingZeros = false;
        int index = RowIndexOfKey(name, &leadingZeros);
        std::string lower;
        for (char c : name)
            lower += static_cast<char>(tolower(static_cast<unsigned char>(c)));
        // A repeated key reads as its first line; an empty one is missing.
        if (index < 0 || !seen.insert(lower).second || ReadRow(name).empty())
            continue;
        if (leadingZeros)
            Warn(name, "key-gap",
                 name + " is never read: the program asks for " + RowKey(index) + ", without leading zeros");
        else if (index > firstMissing)
            Warn(name, "key-gap",
                 name + " is never read: " + RowKey(firstMissing) + " is missing, and the table ends there");
    }
}

}  // namespace

void CheckDriverTable(const FolderIndex& folder, const PciIds& pciIds, CheckResult* result)
{
    TableChecker(folder, pciIds, result).Run();
}
