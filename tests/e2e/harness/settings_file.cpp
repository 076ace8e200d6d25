// Building the settings file of a scenario.
#include "harness/settings_file.h"

#include <algorithm>

SettingsFile::Section& SettingsFile::Find(const std::string& name)
{
    for (Section& section : sections_) {
        if (section.Name == name)
            return section;
    }
    sections_.push_back(Section{name, {}});
    return sections_.back();
}

SettingsFile& SettingsFile::Set(const std::string& section, const std::string& key,
                                const std::string& value)
{
    auto& entries = Find(section).Entries;
    auto entry = std::find_if(entries.begin(), entries.end(),
                              [&](const auto& existing) { return existing.first == key; });
    if (entry == entries.end())
        entries.emplace_back(key, value);
    else
        entry->second = value;
    return *this;
}

SettingsFile& SettingsFile::Remove(const std::string& section, const std::string& key)
{
    auto& entries = Find(section).Entries;
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const auto& existing) { return existing.first == key; }),
                  entries.end());
    return *this;
}

SettingsFile& SettingsFile::Drivers(const std::vector<std::string>& rows)
{
    for (size_t i = 0; i < rows.size(); ++i)
        Set("Drivers", "chip" + std::to_string(i), rows[i]);
    return *this;
}

std::string SettingsFile::Text() const
{
    std::string text;
    for (const Section& section : sections_) {
        text += "[" + section.Name + "]\r\n";
        for (const auto& entry : section.Entries)
            text += entry.first + "=" + entry.second + "\r\n";
        text += "\r\n";
    }
    return text;
}

SettingsFile EnglishTexts()
{
    SettingsFile settings;
    settings.Set("1", "MainWinTitle", english::MainWinTitle)
        .Set("1", "Win95Check", english::Win95Check)
        .Set("1", "Win95CheckCaption", english::Win95CheckCaption)
        .Set("1", "PCIWarningDlg", "0")
        .Set("1", "AGPOnly", english::AgpOnly)
        .Set("1", "AGPOnlyCaption", english::AgpOnlyCaption)
        .Set("1", "DlgDetect", english::DetectCaption)
        .Set("1", "Welcome", english::Welcome)
        .Set("1", "ChipOnBoard", english::ChipOnBoard)
        .Set("1", "AskInstall", english::AskInstall)
        .Set("1", "InstallYes", english::InstallYes)
        .Set("1", "InstallNo", english::InstallNo)
        .Set("1", "OK", english::Ok)
        .Set("1", "Exit", english::Exit)
        .Set("1", "DlgSelect", english::SelectCaption)
        .Set("1", "SelectOne", english::SelectOne)
        .Set("1", "Install", english::Install)
        .Set("1", "NotSupported", english::NotSupported)
        .Set("1", "NotSupportedMsg", english::NotSupportedMsg);
    return settings;
}
