// The disk side of the check. The rules, as the media have them:
//  - a CD or a FAT disk is read without regard to case, so one folder can
//    hold only one of names that differ only in case;
//  - the CD's plain ISO 9660 tree (what DOS reads, and Windows whose CD-ROM
//    drive runs in MS-DOS compatibility mode) is written by xorriso at ISO
//    level 1: it upper-cases a name, turns each character other than A-Z,
//    0-9 and _ into _ (a non-ASCII character into one _), keeps 8 characters
//    of a folder name (whose dots become _ too) and of a file's name before
//    its last dot and 3 after it (a leading dot of a name over 4 characters
//    starts no extension), and then numbers names that clash;
//  - the CD's Joliet tree, which Windows 95 and later read, keeps the name;
//  - a FAT floppy holds an 8.3 name of letters, digits and
//    ! # $ % & ' ( ) - @ ^ _ ` { } ~ as written (folders may take an
//    extension); any other name becomes a long name, which Windows 95 and
//    later read, beside a made-up short name with ~1 in it, which DOS sees.
// Dot-files (.git, .DS_Store) never go on a disk.
#include "checks/disk_names.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "checks/table_checks.h"
#include "readers/code_page.h"
#include "readers/folder_index.h"

namespace fs = std::filesystem;

namespace {

const char kFatExtraCharacters[] = "!#$%&'()-@^_`{}~";
const char kPlainTree[] = "the CD's plain ISO 9660 tree, which DOS reads";
const char kJoliet[] = "the CD's Joliet tree, which Windows 95 and later read";

struct Entry {
    std::string Path;    // relative to the folder, parts separated by '/'
    std::string Parent;  // the same for the folder it is in; empty at the top
    std::string Name;
    bool IsFolder;
};

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Upper(const std::string& text)
{
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
    return upper;
}

// A d-character of ISO 9660: A-Z, 0-9 and _, after upper-casing; _ for any other.
char DCharacter(char c)
{
    c = AsciiUpper(c);
    bool valid = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    return valid ? c : '_';
}

// The name in ASCII as xorriso converts it: each UTF-8 sequence is one '_'.
std::string AsciiOf(const std::string& name)
{
    std::string ascii;
    for (char c : name) {
        auto code = static_cast<unsigned char>(c);
        if (code < 0x80)
            ascii += c;
        else if (code >= 0xC0 || ascii.empty() || ascii.back() != '_')
            ascii += '_';  // a lead byte, or a stray one
    }
    return ascii;
}

std::string DCharacters(const std::string& text, size_t count)
{
    std::string out;
    for (size_t i = 0; i < text.size() && i < count; ++i)
        out += DCharacter(text[i]);
    return out;
}

bool IsPlainIsoName(const std::string& name, bool isFolder)
{
    return !name.empty() && name[0] != '.' && PlainIsoName(name, isFolder) == Upper(name);
}

bool IsFatCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           (c != '\0' && std::strchr(kFatExtraCharacters, c) != nullptr);
}

// A host path as a finding names it: with backslashes, in the settings
// file's code page, as every text of a finding is.
std::string WindowsPath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return AnsiFromHost(path);
}

// Every folder and regular file under root but dot-files and what they hold,
// in order of their paths.
std::vector<Entry> WalkFolder(const std::string& root)
{
    std::vector<Entry> entries;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        std::error_code typeError;
        bool isFolder = it->is_directory(typeError);
        if (name[0] == '.') {
            if (isFolder)
                it.disable_recursion_pending();
            continue;
        }
        if (!isFolder && !it->is_regular_file(typeError))
            continue;
        fs::path relative = it->path().lexically_relative(root);
        entries.push_back({relative.generic_string(), relative.parent_path().generic_string(), name, isFolder});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.Path < b.Path; });
    return entries;
}

// The parts of a row's program path with "." and ".." resolved, upper-cased.
std::vector<std::string> ResolvedParts(const std::string& command)
{
    std::vector<std::string> parts;
    for (const std::string& part : PathParts(ProgramPath(command))) {
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (part != ".") {
            parts.push_back(Upper(part));
        }
    }
    return parts;
}

// The package folders (under DRIVERS\, upper-cased) whose programs the rows start.
std::set<std::string> UsedPackages(const std::vector<DriverEntry>& rows)
{
    std::set<std::string> used;
    for (const DriverEntry& row : rows) {
        std::vector<std::string> parts = ResolvedParts(row.Command);
        if (parts.size() > 2 && parts[0] == "DRIVERS")
            used.insert(parts[1]);
    }
    return used;
}

bool IsPackageFolder(const Entry& entry)
{
    return entry.IsFolder && Upper(entry.Parent) == "DRIVERS";
}

bool IsUnder(const std::string& path, const std::string& folder)
{
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

// Warns of the packages no row uses and, unless they go on the disk anyway,
// leaves them and what they hold out of entries. A table the program loads
// no row of is an error of its own, which would make every package unused.
void LeaveOutUnusedPackages(const std::vector<DriverEntry>& rows, bool keep, std::vector<Entry>* entries,
                            CheckResult* result)
{
    if (rows.empty())
        return;
    std::set<std::string> used = UsedPackages(rows);
    std::vector<std::string> unused;
    for (const Entry& entry : *entries) {
        if (IsPackageFolder(entry) && used.count(Upper(entry.Name)) == 0)
            unused.push_back(entry.Path);
    }
    for (const std::string& folder : unused)
        result->Warnings.push_back(
            {WindowsPath(folder), "unused-package",
             "no row the program loads starts a program in " + WindowsPath(folder) + ": make iso and make floppy " +
                 (keep ? "keep it, as ALL=1 (--all) asks" : "leave it out unless ALL=1 (--all) is given")});
    if (keep)
        return;
    entries->erase(std::remove_if(entries->begin(), entries->end(),
                                  [&unused](const Entry& entry) {
                                      return std::any_of(unused.begin(), unused.end(), [&entry](const std::string& f) {
                                          return entry.Path == f || IsUnder(entry.Path, f);
                                      });
                                  }),
                   entries->end());
}

std::string QuotedList(const std::vector<const Entry*>& entries)
{
    std::string list;
    for (size_t i = 0; i < entries.size(); ++i)
        list += std::string(i == 0 ? "" : i + 1 == entries.size() ? " and " : ", ") + "\"" +
                WindowsPath(entries[i]->Path) + "\"";
    return list;
}

void CheckCaseClashes(const std::vector<Entry>& entries, CheckResult* result)
{
    std::map<std::pair<std::string, std::string>, std::vector<const Entry*>> byName;
    for (const Entry& entry : entries)
        byName[{entry.Parent, Upper(entry.Name)}].push_back(&entry);
    for (const auto& [name, clashing] : byName) {
        if (clashing.size() < 2)
            continue;
        result->Errors.push_back({WindowsPath(clashing[0]->Path), "case-clash",
                                  QuotedList(clashing) +
                                      " differ only in case: a CD or a FAT disk, read without regard to case, "
                                      "holds only one of them; rename or remove all but one"});
    }
}

std::string PlainIsoError(const Entry& entry, const std::vector<Entry>& entries)
{
    std::string plain = PlainIsoName(entry.Name, entry.IsFolder);
    std::string clash;
    for (const Entry& other : entries) {
        if (&other != &entry && other.Parent == entry.Parent && PlainIsoName(other.Name, other.IsFolder) == plain)
            clash = ", as it would \"" + WindowsPath(other.Path) + "\", so xorriso would number both";
    }
    return std::string(kPlainTree) + ", does not hold \"" + AnsiFromHost(entry.Name) +
           "\" as written: at ISO level 1 it takes 8.3 names of A-Z, 0-9 and _ (a folder's without an "
           "extension), and xorriso would write \"" + plain + "\"" + clash + "; " + kJoliet +
           ", keeps the name, but the image is built only of names both trees hold alike: rename it, and every "
           "row that names it";
}

// Characters no FAT name holds, not even a long one.
bool HoldsNoFatCharacter(const std::string& name)
{
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || std::strchr("\"*/:<>?\\|", c); }) ||
           name.back() == '.' || name.back() == ' ';
}

std::string FatError(const Entry& entry)
{
    return "\"" + AnsiFromHost(entry.Name) +
           "\" cannot be a name on a FAT floppy, not even a long one: it holds one of \" * / : < > ? \\ | or a "
           "control character, or ends in a dot or a blank; rename it, and every row that names it";
}

// Every name on the disk that the medium cannot hold as written is an error.
// On the CD that is every name its plain ISO 9660 tree holds otherwise, and
// these errors judge the rows' names too, so the rows' not-8.3 warnings go; a
// floppy holds a long name beside a made-up short one, which the rows'
// warnings already tell of.
void CheckMediumNames(Medium medium, const std::vector<Entry>& entries, CheckResult* result)
{
    if (medium == Medium::Iso) {
        auto& warnings = result->Warnings;
        warnings.erase(std::remove_if(warnings.begin(), warnings.end(),
                                      [](const Finding& finding) { return finding.Kind == "not-8.3"; }),
                       warnings.end());
    }
    for (const Entry& entry : entries) {
        if (medium == Medium::Iso && !IsPlainIsoName(entry.Name, entry.IsFolder))
            result->Errors.push_back({WindowsPath(entry.Path), "not-8.3", PlainIsoError(entry, entries)});
        else if (medium == Medium::Floppy && HoldsNoFatCharacter(entry.Name))
            result->Errors.push_back({WindowsPath(entry.Path), "not-8.3", FatError(entry)});
    }
}

}  // namespace

bool ParseMedium(const std::string& name, Medium* medium)
{
    if (name == "iso")
        *medium = Medium::Iso;
    else if (name == "floppy")
        *medium = Medium::Floppy;
    else
        return false;
    return true;
}

std::string PlainIsoName(const std::string& name, bool isFolder)
{
    std::string ascii = AsciiOf(name);
    if (isFolder)
        return DCharacters(ascii, 8);
    size_t dot = ascii.rfind('.');
    if (dot == 0 && ascii.size() > 4)
        dot = std::string::npos;
    if (dot == std::string::npos)
        return DCharacters(ascii, 8);
    std::string extension = DCharacters(ascii.substr(dot + 1), 3);
    return DCharacters(ascii.substr(0, dot), 8) + (extension.empty() ? "" : "." + extension);
}

bool IsFatShortName(const std::string& name)
{
    size_t dot = name.find('.');
    std::string base = name.substr(0, dot);
    std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3 || (dot != std::string::npos && extension.empty()))
        return false;
    return std::all_of(base.begin(), base.end(), IsFatCharacter) &&
           std::all_of(extension.begin(), extension.end(), IsFatCharacter);
}

void CheckCommandNames(const std::string& key, const std::vector<std::string>& parts, CheckResult* result)
{
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        bool isFolder = i + 1 < parts.size();
        if (part == "." || part == ".." || IsPlainIsoName(part, isFolder))
            continue;
        std::string plain = PlainIsoName(part, isFolder);
        std::string what = std::string("the ") + (isFolder ? "folder" : "file") + " name \"" + part + "\" ";
        if (IsFatShortName(part))
            what += "is a FAT 8.3 name, so a floppy holds it as written, and so does " + std::string(kJoliet) +
                    "; only " + kPlainTree + ", holds it otherwise, as \"" + plain + "\": make iso refuses it";
        else
            what += "is not an 8.3 name: Windows 95 and later read it from " + std::string(kJoliet) +
                    ", and from a floppy's long name, but DOS sees \"" + plain +
                    "\" in the CD's plain ISO 9660 tree and a short name with ~1 in it on a floppy: make iso "
                    "refuses it";
        result->Warnings.push_back({key, "not-8.3", what});
    }
}

void CheckDisk(const std::string& root, const DiskOptions& options, CheckResult* result)
{
    std::vector<Entry> entries = WalkFolder(root);
    LeaveOutUnusedPackages(result->Rows, options.All, &entries, result);
    CheckCaseClashes(entries, result);
    if (options.Image != Medium::None)
        CheckMediumNames(options.Image, entries, result);
    result->DiskFiles.clear();
    for (const Entry& entry : entries) {
        if (!entry.IsFolder)
            result->DiskFiles.push_back(entry.Path);
    }
}

void PrintDiskFiles(FILE* out, const CheckResult& result)
{
    for (const std::string& file : result.DiskFiles)
        (void)std::fprintf(out, "%s\n", file.c_str());  // main checks the output once, at the end
}
