// The [Drivers] checks. The rows are loaded and parsed by the program's own
// loader and row parser; what is judged here is only what those leave
// unsaid: rows the program never reads, codes it reads differently from how
// they are written, files the commands name.
#include "checks/table_checks.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <strings.h>

#include "checks/disk_names.h"
#include "checks/folder_checks.h"
#include "checks/text_checks.h"
#include "profile_reader.h"
#include "readers/code_page.h"
#include "readers/folder_index.h"
#include "readers/pci_ids.h"

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

// The row's value as the loader reads it (size 256), or longer.
std::string ReadRow(const std::string& key, size_t size = kTextSize)
{
    return ReadSetting("Drivers", key, size);
}

// The row's fields as the row parser splits them, those after the seventh
// included.
std::vector<std::string> SplitRow(const std::string& value)
{
    std::vector<std::string> fields;
    RowFieldCursor cursor = {value.c_str()};
    char field[kTextSize];
    while (TakeRowField(&cursor, field, kTextSize) != 0)
        fields.push_back(field);
    return fields;
}

// The names of the fields that the row leaves empty between two commas, or
// after its last one, in the row's own order; the parser skips them, so the
// fields after each move up by one.
std::vector<std::string> EmptyFieldNames(const std::string& value)
{
    std::vector<std::string> names;
    size_t start = value.find_first_not_of(',');
    for (size_t index = 0; start != std::string::npos && start <= value.size() && index < kFieldCount; ++index) {
        size_t end = std::min(value.find(',', start), value.size());
        if (end == start)
            names.push_back(kFieldNames[index]);
        start = end + 1;
    }
    return names;
}

std::string JoinedNames(const std::vector<std::string>& names)
{
    std::string joined;
    for (size_t i = 0; i < names.size(); ++i)
        joined += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return joined;
}

class TableChecker {
public:
    TableChecker(const FolderIndex& folder, const PciIds& pciIds, const std::string& programFolder,
                 CheckResult* result)
        : folder_(folder), pciIds_(pciIds), programFolder_(programFolder), result_(result)
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
    void ReportMalformed(const std::string& key, int code, const std::string& value,
                         const std::vector<std::string>& fields);
    bool ReportShiftedFields(const std::string& key, const std::vector<std::string>& fields);
    void CheckFields(const std::string& key, const std::vector<std::string>& fields);
    void CheckExtraFields(const std::string& key, const std::vector<std::string>& fields);
    void CheckCommandForm(const std::string& key, const std::string& command);
    void CheckDetection(int index, const DriverEntry& row);
    void CheckCommand(const std::string& key, const std::string& command);
    void CheckPciIds(const std::string& key, const DriverEntry& row);
    void CheckUnreadKeys(const std::vector<std::string>& keys, int firstMissing);

    const FolderIndex& folder_;
    const PciIds& pciIds_;
    const std::string& programFolder_;  // where PYXET.EXE runs from, as --folder names it
    CheckResult* result_;
    std::map<std::pair<WORD, WORD>, int> claims_;  // vendor and device code -> first row probing them
};

void TableChecker::Run()
{
    result_->LoadResult = LoadTable();
    result_->Rows = TableRows();

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

    std::vector<std::string> keys = ProfileKeyNames(ReadProfileFile(SettingsFile()), "Drivers");
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
        ReportMalformed(key, code, value, fields);
        return;
    }
    if (ReportShiftedFields(key, fields))
        return;
    CheckFields(key, fields);
    CheckExtraFields(key, fields);
    for (size_t i : {size_t{0}, size_t{kCommandField}}) {
        if (IsUtf8BeyondAscii(fields[i]))
            Warn(key, "not-ansi", NotAnsiMessage(std::string("the ") + kFieldNames[i], fields[i]));
    }
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
    CheckCommandForm(key, row.Command);
    CheckPciIds(key, row);
}

void TableChecker::ReportMalformed(const std::string& key, int code, const std::string& value,
                                   const std::vector<std::string>& fields)
{
    std::string what;
    std::vector<std::string> empty = EmptyFieldNames(value);
    bool commandTooLong = code == kMissingCommand && fields.size() > kCommandField;
    if (code == kMissingName)
        what = "the row holds only separators, so it has no name";
    else if (commandTooLong)
        what = "the command is " + std::to_string(fields[kCommandField].size()) +
               " characters long, over the 127 that the program holds";
    else if (!empty.empty())
        what = "the " + JoinedNames(empty) + " field" + (empty.size() > 1 ? "s are" : " is") +
               " empty: the program skips an empty field, so the fields after it move up and the row has no " +
               kFieldNames[-code - 1] + " field";
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

// Whether fields, read from first, hold hexadecimal codes where the row
// wants them: the four after the name and the seventh.
bool CodesInPlace(const std::vector<std::string>& fields, size_t first)
{
    for (size_t i : {1, 2, 3, 4, 6}) {
        if (!HexProblem(fields[first + i]).empty())
            return false;
    }
    return true;
}

// A comma inside the name or the command makes the row one or more fields
// longer and moves what follows: said as the cause, instead of the codes
// that come out wrong. True when it is so.
bool TableChecker::ReportShiftedFields(const std::string& key, const std::vector<std::string>& fields)
{
    if (fields.size() <= kFieldCount)
        return false;
    const size_t shift = fields.size() - kFieldCount;
    if (!CodesInPlace(fields, 0) && CodesInPlace(fields, shift)) {
        Error(key, "name-comma",
              "the name holds a comma; the fields after it are shifted: the program reads the name \"" +
                  fields[0] + "\", the vendor \"" + fields[1] + "\", the command \"" + fields[kCommandField] +
                  "\" and the restart flag \"" + fields[kFieldCount - 1] + "\"; the name must not hold a comma");
        return true;
    }
    bool codesBeforeCommand = true;
    for (size_t i = 1; i < kCommandField; ++i)
        codesBeforeCommand = codesBeforeCommand && HexProblem(fields[i]).empty();
    if (codesBeforeCommand && !HexProblem(fields[kFieldCount - 1]).empty() && HexProblem(fields.back()).empty()) {
        Error(key, "command-comma",
              "the command holds a comma, where the program ends it: it starts \"" + fields[kCommandField] +
                  "\" and reads \"" + fields[kFieldCount - 1] + "\" as the restart flag (" +
                  Hex4(ReadHexField(fields[kFieldCount - 1].c_str())) + "); the command cannot hold a comma");
        return true;
    }
    return false;
}

// An eighth field, or more, after the restart flag.
void TableChecker::CheckExtraFields(const std::string& key, const std::vector<std::string>& fields)
{
    if (fields.size() <= kFieldCount)
        return;
    std::string extra;
    for (size_t i = kFieldCount; i < fields.size(); ++i)
        extra += (i == kFieldCount ? "" : ",") + fields[i];
    Warn(key, "extra-field",
         "the row has " + std::to_string(fields.size()) + " fields: the program reads seven, the restart flag \"" +
             fields[kFieldCount - 1] + "\" the last of them, and ignores \"" + extra.substr(0, 60) +
             "\" after it");
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

// The folder that the program makes current before it starts command, run
// from moduleFolder, as its launch computes it; empty when the folder part
// does not fit the program's 128 bytes, and the module folder itself when
// the command names no folder.
std::string WorkFolderOf(const char* moduleFolder, const std::string& command)
{
    char folder[kPathSize];
    WorkFolderResult result = WorkFolderForCommand(folder, moduleFolder, command.c_str());
    if (result == WorkFolderTooLong)
        return "";
    std::string made = result == WorkFolderMade ? folder : moduleFolder;
    // "D:" alone names the drive's current folder, its root for a program
    // started from there.
    return made.size() == 2 && made[1] == ':' ? made + "\\" : made;
}

// Whether the distributable folder holds folder, a folder below the program's
// own (moduleFolder); one outside it, the folder cannot tell, and counts as held.
bool HeldByFolder(const FolderIndex& index, const std::string& moduleFolder, const std::string& folder)
{
    std::string root = moduleFolder.size() == 2 && moduleFolder[1] == ':' ? moduleFolder + "\\" : moduleFolder;
    if (strcasecmp(folder.c_str(), root.c_str()) == 0)
        return true;
    std::string below = moduleFolder + "\\";
    if (folder.size() <= below.size() || strncasecmp(folder.c_str(), below.c_str(), below.size()) != 0)
        return true;
    return !index.FindFolder(folder.substr(below.size())).empty();
}

// How WinExec splits command: the program path (up to the first blank, or
// within quotes) and the arguments after it.
std::string ProgramLine(const std::string& command)
{
    std::string program = ProgramPath(command);
    size_t start = command.find_first_not_of(" \t");
    size_t end = start == std::string::npos ? command.size()
                                            : start + program.size() + (command[start] == '"' ? 2 : 0);
    size_t argumentsStart = command.find_first_not_of(" \t", std::min(end, command.size()));
    std::string arguments = argumentsStart == std::string::npos ? "" : command.substr(argumentsStart);
    return "\"" + program + "\"" + (arguments.empty() ? "" : " with the arguments \"" + arguments + "\"");
}

// The longer program path that a blank cut short: the command up to a later
// blank, or whole, when the folder holds a file so named.
std::string ProgramCutAtBlank(const FolderIndex& folder, const std::string& command)
{
    std::string program = ProgramPath(command);
    if (program.empty() || command.find_first_not_of(" \t") != 0 || command[0] == '"' ||
        !folder.FindFile(program).empty())
        return "";
    for (size_t blank = command.find(' ', program.size() + 1);; blank = command.find(' ', blank + 1)) {
        std::string longer = command.substr(0, blank);
        if (!folder.FindFile(longer).empty())
            return longer;
        if (blank == std::string::npos)
            return "";
    }
}

// Commands that the program starts in another folder than the setup
// program's own, or cuts short: its folder change knows only '\\' and ':',
// takes the command as it stands, and WinExec ends the program path at the
// first blank outside quotes.
void TableChecker::CheckCommandForm(const std::string& key, const std::string& command)
{
    std::string program = ProgramPath(command);
    size_t programEnd = command.find(program) + program.size();
    int cut = FolderPartLength(command.c_str());
    std::string longer = ProgramCutAtBlank(folder_, command);
    std::string cause;
    if (command[0] == ' ' || command[0] == '\t')
        cause = "the command starts with a blank, which the folder keeps";
    else if (command[0] == '"')
        cause = "the command is in quotes, which the folder keeps";
    else if (program.find('/') != std::string::npos)
        cause = "the program path holds \"/\", which the program's folder change does not take for a separator";
    else if (!longer.empty())
        cause = "the program path " + longer + " holds a blank and no quotes";
    else if (cut > 0 && static_cast<size_t>(cut) > programEnd)
        cause = "the arguments hold a \"\\\" or \":\", where the program cuts the folder";
    if (cause.empty())
        return;
    const std::string moduleFolder = ModuleFolderOf(programFolder_);
    std::string folder = WorkFolderOf(moduleFolder.c_str(), command);
    std::string made;
    if (folder.empty())
        made = "starts nothing and shows \"Setup not started\" (the folder part does not fit in 127 characters),";
    else if (!HeldByFolder(folder_, moduleFolder, folder))
        made = "tries to make \"" + folder +
               "\" current, which the folder does not hold, so the current folder stays the one it was started in,";
    else
        made = "makes \"" + folder + "\" current";
    Warn(key, "command-form",
         cause + ": run from " + programFolder_ + ", the program " + made + " and starts the program line " +
             ProgramLine(command));
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

void CheckTableRows(const FolderIndex& folder, const PciIds& pciIds, const std::string& programFolder,
                      CheckResult* result)
{
    TableChecker(folder, pciIds, programFolder, result).Run();
}
