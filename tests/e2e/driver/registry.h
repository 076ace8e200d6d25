// Registry changes that a test makes for its own run and takes back after:
// the Windows version that Wine reports, the user's country code, and the
// device keys that the real probe library reads.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Sets a string value (or, given no value, deletes it) for the life of the
// object, then puts back what was there before.
class RegistryValueOverride {
public:
    RegistryValueOverride(HKEY root, const std::string& key, const std::string& name,
                          const std::optional<std::string>& value);
    RegistryValueOverride(const RegistryValueOverride&) = delete;
    RegistryValueOverride& operator=(const RegistryValueOverride&) = delete;
    ~RegistryValueOverride();

    bool Applied() const { return applied_; }

private:
    HKEY key_ = nullptr;
    std::string name_;
    bool applied_ = false;
    bool hadValue_ = false;
    DWORD oldType_ = REG_NONE;
    std::vector<BYTE> oldData_;
};

// Creates keys, with every missing parent, and deletes those it created,
// newest first, when it goes.
class RegistryKeys {
public:
    RegistryKeys() = default;
    RegistryKeys(const RegistryKeys&) = delete;
    RegistryKeys& operator=(const RegistryKeys&) = delete;
    ~RegistryKeys();

    bool Create(HKEY root, const std::string& path);

private:
    std::vector<std::pair<HKEY, std::string>> created_;
};

// The values that the tests set.
extern const char kWineVersionKey[];       // HKCU: Software\Wine, value "Version"
extern const char kInternationalKey[];     // HKCU: Control Panel\International, value "iCountry"
