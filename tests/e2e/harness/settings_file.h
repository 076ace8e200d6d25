// The Pyxet.ini that a scenario writes beside the program: sections of
// localized texts by country code and the [Drivers] table, built up in steps.
#pragma once

#include <string>
#include <utility>
#include <vector>

class SettingsFile {
public:
    // Sets key=value in section, adding the section or key where missing.
    // The value is written as given, blanks included.
    SettingsFile& Set(const std::string& section, const std::string& key, const std::string& value);
    SettingsFile& Remove(const std::string& section, const std::string& key);
    // The [Drivers] rows chip0, chip1, ... in this order.
    SettingsFile& Drivers(const std::vector<std::string>& rows);
    std::string Text() const;

private:
    struct Section {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Entries;
    };
    Section& Find(const std::string& name);
    std::vector<Section> sections_;
};

// The texts of section "1" that EnglishTexts() writes, for the scenarios to
// expect on screen.
namespace english {
inline const std::string MainWinTitle = "Pyxet under test";
inline const std::string Win95Check = "This is build %d of Windows 95.";
inline const std::string Win95CheckCaption = "Early build";
inline const std::string AgpOnly = "Only for boards with an AGP slot.";
inline const std::string AgpOnlyCaption = "AGP boards only";
inline const std::string DetectCaption = "Chipset detection";
inline const std::string Welcome = "Welcome to the test installer.";
inline const std::string ChipOnBoard = "Your chipset:";
inline const std::string AskInstall = "Install its driver?";
inline const std::string InstallYes = "Yes, install it.";
inline const std::string InstallNo = "No, let me choose.";
inline const std::string Ok = "&OK";
inline const std::string Exit = "&Exit";
inline const std::string SelectCaption = "Driver selection";
inline const std::string SelectOne = "Choose a driver:";
inline const std::string Install = "&Install";
inline const std::string NotSupported = "Driver not supported";
inline const std::string NotSupportedMsg = "This driver is not for this Windows.";
}  // namespace english

// Section "1" with every text key, and "PCIWarningDlg" set to "0" so that
// the AGP warning stays away unless a scenario asks for it. No [Drivers].
SettingsFile EnglishTexts();
