// The what-if of the detection: which probes the program makes on a board
// described by the output of lspci -n or -nn, or by a REGEDIT4 export of
// its PCI device keys, and which row it detects.
#pragma once

#include <string>
#include <vector>

#include "check.h"
#include "options.h"

// The board's PCI device key names ("VEN_8086&DEV_7190&..."), as ENUM.DLL
// finds them in the registry, from the input text; from a registry export
// that holds the Configuration Manager's list of present devices with a PCI
// device in it, their HardWareKeys ("PCI\VEN_8086&DEV_7190&...\BUS_00...")
// instead, which alone answer. On input that names no device, returns
// false with the reason.
bool ReadDeviceKeys(const std::string& text, WhatIfSource source, std::vector<std::string>* keys,
                    std::string* error);

// A PCI device of the board, and whether it is its host bridge: of class
// 0600 in lspci -nn (or -n), or with CC_0600 in the HardwareID or
// CompatibleIDs value of its registry key.
struct BoardDevice {
    WORD Vendor = 0;
    WORD Device = 0;
    bool HostBridge = false;
};

// The board's devices in the order the input names them, each once. On
// input that names no device, returns false with the reason.
bool ReadBoardDevices(const std::string& text, WhatIfSource source, std::vector<BoardDevice>* devices,
                      std::string* error);

// Runs the program's detection over the loaded table against the keys of
// the board in boardFile, judges the detected row's driver on this Windows,
// lists the boxes and dialogs the user sees up to the detection dialog, and
// watches the program's launch of that driver from a CD in drive D:.
WhatIfResult RunWhatIf(const std::string& boardFile, const std::vector<std::string>& keys,
                       const WindowsVersion& windows, int loadResult);

// Whether a row of the loaded table names the device of a key.
bool NamesTableDevice(const std::string& key);

// Warns when keys from a registry export name several devices that rows of
// the loaded table name (host bridges) and come from no Configuration
// Manager list: the disk may have been moved between boards.
void WarnIfMovedBetweenBoards(const std::vector<std::string>& keys, CheckResult* result);
