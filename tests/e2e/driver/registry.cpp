// Registry changes for one test run, taken back afterwards.
#include "driver/registry.h"

const char kWineVersionKey[] = "Software\\Wine";
const char kInternationalKey[] = "Control Panel\\International";

RegistryValueOverride::RegistryValueOverride(HKEY root, const std::string& key,
                                             const std::string& name,
                                             const std::optional<std::string>& value)
    : name_(name)
{
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &key_, nullptr) != ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    DWORD size = 0;
    if (RegQueryValueExA(key_, name_.c_str(), nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
        oldData_.resize(size);
        hadValue_ = RegQueryValueExA(key_, name_.c_str(), nullptr, &oldType_,
                                     oldData_.empty() ? nullptr : oldData_.data(), &size) == ERROR_SUCCESS;
        oldData_.resize(size);
    }
    LONG result;
    if (value) {
        const BYTE* data = reinterpret_cast<const BYTE*>(value->c_str());
        result = RegSetValueExA(key_, name_.c_str(), 0, REG_SZ, data, static_cast<DWORD>(value->size() + 1));
    } else {
        result = RegDeleteValueA(key_, name_.c_str());
        if (result == ERROR_FILE_NOT_FOUND)
            result = ERROR_SUCCESS;
    }
    applied_ = result == ERROR_SUCCESS;
}

RegistryValueOverride::~RegistryValueOverride()
{
    if (key_ == nullptr)
        return;
    if (hadValue_)
        RegSetValueExA(key_, name_.c_str(), 0, oldType_, oldData_.empty() ? nullptr : oldData_.data(),
                       static_cast<DWORD>(oldData_.size()));
    else
        RegDeleteValueA(key_, name_.c_str());
    RegCloseKey(key_);
}

bool RegistryKeys::Create(HKEY root, const std::string& path)
{
    size_t end = 0;
    while (end != std::string::npos) {
        end = path.find('\\', end + 1);
        std::string part = path.substr(0, end);
        HKEY key;
        DWORD disposition = 0;
        if (RegCreateKeyExA(root, part.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key, &disposition) !=
            ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        if (disposition == REG_CREATED_NEW_KEY)
            created_.emplace_back(root, part);
    }
    return true;
}

RegistryKeys::~RegistryKeys()
{
    for (auto key = created_.rbegin(); key != created_.rend(); ++key)
        RegDeleteKeyA(key->first, key->second.c_str());
}
