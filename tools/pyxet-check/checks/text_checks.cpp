// The text sections. Which text a language shows is decided by the program's
// own LookupText with its fallback to section "1"; the format check of the
// early-build warning is the program's own too.
#include "checks/text_checks.h"

#include <map>
#include <set>
#include <strings.h>

#include "profile_reader.h"
#include "readers/code_page.h"

namespace {

const char kFallbackSection[] = "1";
enum { kLongValueSize = 1024 };

// The section's own value of key, read long enough to see whether it fits.
std::string ReadOwnText(const std::string& section, const char* key)
{
    return ReadSetting(section, key, kLongValueSize);
}

void CheckSection(const std::string& section, CheckResult* result)
{
    Language language = {section, {}};
    for (const char* key : kTextKeys) {
        std::string own = ReadOwnText(section, key);
        if (own.empty())
            language.Missing.push_back(key);
        if (IsUtf8BeyondAscii(own))
            result->Warnings.push_back({section, "not-ansi", NotAnsiMessage(key, own.substr(0, kTextSize - 1))});
        if (own.size() > kTextSize - 1)
            result->Warnings.push_back(
                {section, "text-cut",
                 std::string(key) + " is " + (own.size() >= kLongValueSize - 1 ? "over " : "") +
                     std::to_string(own.size()) + " characters long: the program shows its first 255"});
    }
    // A section whose name cannot be a country code is never shown, and one
    // without its own format shows that of section "1", checked there.
    std::string format = ReadOwnText(section, kKeyWin95Check);
    if (section.size() < kCountrySize && !format.empty() &&
        !IsSingleIntegerFormat(ShownText(section, kKeyWin95Check).c_str()))
        result->Warnings.push_back(
            {section, "format-refused",
             "Win95Check \"" + format.substr(0, 60) +
                 "\" is not a format with one integer: the program shows it unformatted"});
    result->Languages.push_back(language);
}

}  // namespace

void CheckTexts(CheckResult* result)
{
    std::vector<std::string> sections = ProfileSectionNames(ReadProfileFile(SettingsFile()));
    for (const std::string& section : sections) {
        if (strcasecmp(section.c_str(), "Drivers") != 0)
            CheckSection(section, result);
    }
    for (const char* key : kTextKeys) {
        if (ReadOwnText(kFallbackSection, key).empty())
            result->Warnings.push_back(
                {kFallbackSection, "missing-text",
                 std::string("section [1] has no ") + key + ": every language without its own shows it empty" +
                     (std::string(key) == kKeyPciWarningDlg ? ", and the AGP warning is shown" : "")});
    }
}

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string Folded(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return folded;
}

// The key of a finding about a key: the key itself in [Drivers], whose
// findings go by row key, the section elsewhere.
std::string FindingKey(const std::string& section, const std::string& key)
{
    return strcasecmp(section.c_str(), "Drivers") == 0 ? key : section;
}

// Keys given twice in the section that lookups search: the first line wins.
void CheckRepeatedKeys(const ProfileSection& section, CheckResult* result)
{
    std::map<std::string, int> counts;
    for (const std::string& key : section.KeyNames)
        ++counts[Folded(key)];
    std::set<std::string> told;
    for (const std::string& key : section.KeyNames) {
        int count = counts[Folded(key)];
        // A comment line is a name nobody asks for, however often it is there.
        if (count < 2 || key[0] == ';' || key[0] == '#' || !told.insert(Folded(key)).second)
            continue;
        std::string first = ReadOwnText(section.Name, key.c_str());
        result->Warnings.push_back(
            {FindingKey(section.Name, key), "duplicate-key",
             key + " is given " + std::to_string(count) + " times in [" + section.Name +
                 "]: the program reads only the first, \"" + first.substr(0, 60) +
                 "\", and never the others"});
    }
}

// A section name given again: lookups search the first section of a name
// only, so the keys of the later ones are never read.
void CheckRepeatedSections(const std::vector<ProfileSection>& sections, CheckResult* result)
{
    std::map<std::string, size_t> first;
    for (size_t i = 0; i < sections.size(); ++i) {
        auto seen = first.emplace(Folded(sections[i].Name), i);
        if (seen.second) {
            CheckRepeatedKeys(sections[i], result);
            continue;
        }
        std::string keys;
        for (size_t k = 0; k < sections[i].KeyNames.size() && k < 5; ++k)
            keys += (k ? ", " : "") + sections[i].KeyNames[k];
        if (sections[i].KeyNames.size() > 5)
            keys += " and " + std::to_string(sections[i].KeyNames.size() - 5) + " more";
        result->Warnings.push_back(
            {sections[i].Name, "duplicate-section",
             "[" + sections[i].Name + "] is given again: the program reads only the first [" +
                 sections[seen.first->second].Name + "], so " +
                 (keys.empty() ? "this one is never read" : "its keys here (" + keys + ") are never read")});
    }
}

// A UTF-8 byte-order mark: Windows 95 and 98 read its three bytes as text
// of the first line; Wine skips it and reads the rest as UTF-8.
void CheckByteOrderMark(const std::string& text, CheckResult* result)
{
    if (text.compare(0, 3, kByteOrderMark) != 0)
        return;
    std::string firstLine = text.substr(0, text.find_first_of("\r\n"));
    size_t open = firstLine.find_first_not_of(" \t", 3);
    size_t close = firstLine.rfind(']');
    const std::string what = "the file starts with a UTF-8 byte-order mark, the three bytes \"" +
                             std::string(kByteOrderMark) + "\"";
    const std::string wine = "Wine skips the mark and reads the file as UTF-8, so a test under Wine does not show this";
    if (open != std::string::npos && firstLine[open] == '[' && close != std::string::npos && close > open) {
        std::string section = firstLine.substr(open + 1, close - open - 1);
        result->Errors.push_back(
            {section, "byte-order-mark",
             what + ": Windows 95 and 98 read them as part of the first line, \"" + firstLine +
                 "\", so it names no section, [" + section + "] is not found and its keys are never read; " +
                 wine + "; save the file in the Windows code page, without the mark"});
        return;
    }
    result->Warnings.push_back(
        {"PYXET.INI", "byte-order-mark",
         what + ": Windows 95 and 98 read them as part of the first line, which names no key the program asks for; " +
             wine + ", while Windows reads every text in its code page"});
}

}  // namespace

std::string NotAnsiMessage(const std::string& what, const std::string& text)
{
    std::string meant;
    std::string page = std::to_string(AnsiCodePage());
    return what + " is written in UTF-8" +
           (AnsiFromUtf8(text, &meant) ? ", \"" + meant + "\"," : "") + " but Windows reads it in code page " +
           page + ": the program uses \"" + text + "\"; save the file in code page " + page;
}

void CheckFileContents(const std::string& text, CheckResult* result)
{
    if (text.empty())
        result->Notes.push_back("the settings file is empty");
    else if (text.find('\0') != std::string::npos)
        result->Notes.push_back("the settings file holds NUL bytes: it is no text file");
    CheckByteOrderMark(text, result);
}

void CheckRepeatedNames(const std::string& text, CheckResult* result)
{
    CheckRepeatedSections(ProfileSections(text), result);
}
