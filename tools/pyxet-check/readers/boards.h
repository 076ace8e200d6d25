// Boards as a CD author describes them: the output of lspci, or a registry
// export of the PCI device keys. What ENUM.DLL would find (the device keys)
// and what the board holds (its devices, and which is the host bridge).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class BoardFormat { Lspci, Reg };

// The board's PCI device key names ("VEN_8086&DEV_7190&..."), as ENUM.DLL
// finds them in the registry, from the input text; from a registry export
// that holds the Configuration Manager's list of present devices with a PCI
// device in it, their HardWareKeys ("PCI\VEN_8086&DEV_7190&...\BUS_00...")
// instead, which alone answer. On input that names no device, returns
// false with the reason.
bool ReadDeviceKeys(const std::string& text, BoardFormat format, std::vector<std::string>* keys,
                    std::string* error);

// A PCI device of the board, and whether it is its host bridge: of class
// 0600 in lspci's listing, or with CC_0600 in the HardwareID or
// CompatibleIDs value of its registry key.
struct BoardDevice {
    uint16_t Vendor = 0;
    uint16_t Device = 0;
    bool HostBridge = false;
    std::string Slot;  // lspci's slot, or the registry's device key and instance
};

// The board's devices in the order the input names them, each slot once. On
// input that names no device, or names devices without their codes, returns
// false with the reason, which names the lspci command to run instead.
bool ReadBoardDevices(const std::string& text, BoardFormat format, std::vector<BoardDevice>* devices,
                      std::string* error);

// Whether one of the keys names the device, by ENUM.DLL's own key matching.
bool AnyKeyNamesDevice(const std::vector<std::string>& keys, uint32_t vendorCode, uint32_t deviceCode);

// Whether a key is a HardWareKey of the Configuration Manager's list, which
// names only the devices present in the session.
bool IsPresentDeviceKey(const std::string& key);
