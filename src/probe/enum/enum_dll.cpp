// ENUM.DLL: answers whether a PCI device with a given vendor and device code is
// present, from the devices that Windows has enumerated in the registry. Each
// device's key is named VEN_xxxx&DEV_yyyy&..., under HKLM\Enum\PCI on the
// Windows 95/98 family and under HKLM\SYSTEM\CurrentControlSet\Enum\PCI on the
// NT family (and Wine).
#include <windows.h>

#include "probe/device_probe.h"
#include "probe/enum/device_key.h"

static const char* const kPciKeys[] = {
    "Enum\\PCI",
    "SYSTEM\\CurrentControlSet\\Enum\\PCI",
};

// Looks for a device key under one PCI key; on a match, copies its name
// (cut to the buffer) into buffer.
static int FindDeviceKey(const char* pciKey, const char* prefix, char* buffer)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, pciKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    int found = 0;
    char name[MAX_PATH + 1];
    for (DWORD index = 0; !found; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        found = NamesDevice(name, prefix);
    }
    RegCloseKey(key);
    // cppcheck warns that lstrcpynA's exception handler hides a bad pointer;
    // here both buffers are valid and of known size, so there is none to hide.
    if (found)
        lstrcpynA(buffer, name, kProbeBufferSize); // cppcheck-suppress lstrcpynACalled
    return found;
}

extern "C" DWORD WINAPI ProbeDevice(DWORD vendorCode, DWORD deviceCode, char* buffer)
{
    char prefix[kDeviceKeyPrefixSize];
    FormatDeviceKeyPrefix(prefix, vendorCode, deviceCode);
    for (const char* pciKey : kPciKeys) {
        if (FindDeviceKey(pciKey, prefix, buffer))
            return 1;
    }
    return 0;
}

extern "C" BOOL WINAPI DllEntry(HINSTANCE, DWORD, void*)
{
    return TRUE;
}
