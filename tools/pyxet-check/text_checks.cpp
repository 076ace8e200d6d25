// The text sections. Which text a language shows is decided by the program's
// own LookupText with its fallback to section "1"; the format check of the
// early-build warning is the program's own too.
#include <strings.h>

#include "check.h"
#include "core/text.h"
#include "profile_reader.h"
#include "settings/format_check.h"
#include "settings/texts.h"

namespace {

const char* const kTextKeys[] = {
    "MainWinTitle", "Win95Check", "Win95CheckCaption", "PCIWarningDlg", "AGPOnly", "AGPOnlyCaption",
    "DlgDetect", "Welcome", "ChipOnBoard", "AskInstall", "InstallYes", "InstallNo", "OK", "Exit",
    "DlgSelect", "SelectOne", "Install", "NotSupported", "NotSupportedMsg",
};
const char kFallbackSection[] = "1";
enum { kLongValueSize = 1024 };

// The section's own value of key, read long enough to see whether it fits.
std::string ReadOwnText(const std::string& section, const char* key)
{
    char buffer[kLongValueSize];
    DWORD length = GetPrivateProfileStringA(section.c_str(), key, "", buffer, sizeof buffer,
                                            ProgramState.SettingsPath);
    return std::string(buffer, length);
}

// The text that the user whose country code is section sees for key.
std::string ShownText(const std::string& section, const char* key)
{
    CopyText(ProgramState.CountryCode, section.c_str(), kCountrySize);
    char text[kTextSize];
    LookupText(key, text);
    return text;
}

void CheckSection(const std::string& section, CheckResult* result)
{
    Language language = {section, {}};
    for (const char* key : kTextKeys) {
        std::string own = ReadOwnText(section, key);
        if (own.empty())
            language.Missing.push_back(key);
        if (own.size() > kTextSize - 1)
            result->Warnings.push_back(
                {section, "text-cut",
                 std::string(key) + " is " + (own.size() >= kLongValueSize - 1 ? "over " : "") +
                     std::to_string(own.size()) + " characters long: the program shows its first 255"});
    }
    // A section whose name cannot be a country code is never shown, and one
    // without its own format shows that of section "1", checked there.
    std::string format = ReadOwnText(section, "Win95Check");
    if (section.size() < kCountrySize && !format.empty() &&
        !IsSingleIntegerFormat(ShownText(section, "Win95Check").c_str()))
        result->Warnings.push_back(
            {section, "format-refused",
             "Win95Check \"" + format.substr(0, 60) +
                 "\" is not a format with one integer: the program shows it unformatted"});
    result->Languages.push_back(language);
}

}  // namespace

void CheckTexts(CheckResult* result)
{
    std::string country = ProgramState.CountryCode;
    std::vector<std::string> sections = ProfileSectionNames(ReadProfileFile(ProgramState.SettingsPath));
    for (const std::string& section : sections) {
        if (strcasecmp(section.c_str(), "Drivers") != 0)
            CheckSection(section, result);
    }
    for (const char* key : kTextKeys) {
        if (ReadOwnText(kFallbackSection, key).empty())
            result->Warnings.push_back(
                {kFallbackSection, "missing-text",
                 std::string("section [1] has no ") + key + ": every language without its own shows it empty" +
                     (std::string(key) == "PCIWarningDlg" ? ", and the AGP warning is shown" : "")});
    }
    CopyText(ProgramState.CountryCode, country.c_str(), kCountrySize);
}

void CheckFileContents(const std::string& text, CheckResult* result)
{
    if (text.empty())
        result->Notes.push_back("the settings file is empty");
    else if (text.find('\0') != std::string::npos)
        result->Notes.push_back("the settings file holds NUL bytes: it is no text file");
}
