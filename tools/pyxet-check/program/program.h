// The one seam between the checker and the program's own code. The checker
// sets the program up as start-up would, asks it to load its table, to look
// texts up, to detect a board and to launch a row, and gets values back; no
// other part of the checker reads or writes the program's state. The
// program's stateless rules (row parsing, the launch's folder, the format
// guard) are used through this header as they are.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "launch/work_dir.h"
#include "settings/driver_table.h"
#include "settings/format_check.h"
#include "settings/paths.h"
#include "settings/text_keys.h"

// The Windows versions and builds that --windows and --build name.
struct WindowsVersion {
    const char* Name;     // "95", "98", "me"
    const char* Product;  // "Windows 95"
    DWORD Minor;
    DWORD Build;
    bool Default;  // the build that --windows names without --build
};
// The version of that name (any, when the name is empty) and build (its
// default build, when build is 0); nullptr when there is none.
const WindowsVersion* FindWindowsVersion(const std::string& name, DWORD build);
// "Windows 95 (4.00 build 950)".
std::string WindowsTitle(const WindowsVersion& windows);
// The builds of the version of that name ("950, 1111, 1212, 1214"); with an
// empty name, those of every version ("95: 950, ...; 98: 1998, 2222; me: 3000").
std::string KnownBuilds(const std::string& name);

// Sets the program up as start-up would leave it on this Windows with this
// country code; the settings file is settingsFile in the current folder.
void StartProgram(const std::string& settingsFile, const WindowsVersion& windows, const std::string& country);

// The Windows that StartProgram named.
const WindowsVersion& ProgramWindows();

// The settings file the program reads, as it names it.
std::string SettingsFile();

// Loads the table with the program's loader; returns LoadDriverTable's result.
int LoadTable();
// The rows the program holds now.
int TableCount();
const DriverEntry& TableRow(int index);
std::vector<DriverEntry> TableRows();

// A value of the settings file as the program's profile read gives it,
// read through a buffer of size bytes.
std::string ReadSetting(const std::string& section, const std::string& key, size_t size = kTextSize);

// The text a user whose country code is country sees for key: the program's
// own lookup, with its fallback to section "1".
std::string ShownText(const std::string& country, const char* key);

// A row added after the table's rows for as long as this object lives, so
// that a run of the program sees it; Keep() leaves it in the table.
class TrialRow {
public:
    explicit TrialRow(const DriverEntry& row);
    ~TrialRow();
    TrialRow(const TrialRow&) = delete;
    TrialRow& operator=(const TrialRow&) = delete;

    // False when the table was full and nothing was added.
    bool Added() const { return added_; }
    void Keep() { kept_ = true; }

private:
    bool added_ = false;
    bool kept_ = false;
};

// What the program does on a board, up to the detection dialog, and what it
// would start when the user installs the detected row's driver.
struct WhatIfResult {
    std::string Board;  // the board's file, as the command line names it, in UTF-8
    std::vector<std::pair<WORD, WORD>> Probes;  // vendor and device code, in order
    int Detected = -1;
    bool Supported = false;
    std::vector<std::string> Dialogs;  // what the user sees, in order, up to the detection dialog
    // When the user installs the detected row's driver: the folder the program
    // makes current (none when it changes none) and the command line it
    // starts; neither when it starts nothing.
    std::optional<std::string> Folder;
    std::optional<std::string> Starts;
};

// Runs the program's detection over the table against the device keys of
// the board in boardFile (answered as ENUM.DLL answers from the registry),
// judges the detected row's driver on the Windows it was started on, lists the boxes and
// dialogs the user sees up to the detection dialog, and watches the
// program's launch of that driver from a CD in drive D:. loadResult is the
// table's load result: start-up stops at a malformed row.
WhatIfResult RunProgram(const std::string& boardFile, const std::vector<std::string>& keys, int loadResult);

// Whether a row of the table names the device of a key.
bool TableNamesKey(const std::string& key);
