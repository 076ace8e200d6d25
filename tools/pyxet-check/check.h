// What pyxet-check finds in a distributable folder's settings file: the
// table as the program loads it, the errors and warnings, the languages,
// and the what-if of the detection.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/driver_table.h"

class FolderIndex;
class PciIds;

struct Finding {
    std::string Key;  // chipN, or the section name for text findings
    std::string Kind;
    std::string Message;
};

struct Language {
    std::string Section;
    std::vector<std::string> Missing;  // text keys this section lacks or leaves empty
};

struct WhatIfResult {
    std::vector<std::pair<WORD, WORD>> Probes;  // vendor and device code, in order
    int Detected = -1;
    bool Supported = false;
    std::vector<std::string> Dialogs;  // what the user sees, in order, up to the detection dialog
};

struct CheckResult {
    std::string SettingsFile;  // as found in the folder; empty when there is none
    int LoadResult = 0;        // LoadDriverTable's result
    std::vector<DriverEntry> Rows;
    std::vector<Finding> Errors;
    std::vector<Finding> Warnings;
    std::vector<Language> Languages;
    std::vector<std::string> Notes;  // about the file as a whole: empty, not text
    std::optional<WhatIfResult> WhatIf;
};

// The Windows versions that --windows names.
struct WindowsVersion {
    const char* Name;  // "95", "98", "me"
    const char* Title;
    DWORD Minor;
    DWORD Build;
};
const WindowsVersion* FindWindowsVersion(const std::string& name);

// Makes the program state look as the program's would after start-up on this
// Windows with this country code; the settings file is settingsFile in the
// current folder.
void PrepareProgramState(const std::string& settingsFile, const WindowsVersion& windows,
                         const std::string& country);

// The [Drivers] checks: loads the table with the program's loader and looks
// at every row it would read and every key it would never reach.
void CheckDriverTable(const FolderIndex& folder, const PciIds& pciIds, CheckResult* result);

// Warns of each row whose setup program's folder cannot be made current
// when PYXET.EXE runs from programFolder (such as "D:\\").
void CheckWorkFolders(const std::string& programFolder, CheckResult* result);

// The text sections: which keys fall back to section "1", which are missing
// everywhere, too long, or a format the program refuses.
void CheckTexts(CheckResult* result);

// Notes on the file as a whole (empty, NUL bytes).
void CheckFileContents(const std::string& text, CheckResult* result);
