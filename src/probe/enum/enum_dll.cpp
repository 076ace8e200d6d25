// ENUM.DLL: answers whether a PCI device with a given vendor and device code is
// present.
//
// On the Windows 95/98/ME family the Configuration Manager lists the device
// nodes of this session under HKEY_DYN_DATA\Config Manager\Enum: one subkey
// per node, whose HardWareKey value names the device's key under HKLM\Enum.
// Where that list names at least one PCI device, it alone answers. Windows
// keeps a device's key under HKLM\Enum\PCI after the device has gone, so a
// disk moved from one board to another holds the old board's host bridge
// beside the new one; the list holds only the board that is there.
//
// Where the list is missing or names no PCI device (the NT family, Wine),
// the device keys answer: each is named VEN_xxxx&DEV_yyyy&..., under
// HKLM\Enum\PCI on the Windows 95/98 family and under
// HKLM\SYSTEM\CurrentControlSet\Enum\PCI on the NT family (and Wine).
#include <windows.h>

#include "probe/device_probe.h"
#include "probe/enum/device_key.h"

static const char* const kPciKeys[] = {
    "Enum\\PCI",
    "SYSTEM\\CurrentControlSet\\Enum\\PCI",
};

static const char kDeviceNodes[] = "Config Manager\\Enum";
static const char kHardwareKeyValue[] = "HardWareKey";

enum {
    // Far more PCI functions than a board of the 9x era carries.
    kMaxPresentPci = 128,
    // Enough of a HardWareKey to match it: "PCI\", the 17 characters of the
    // codes and the one after them.
    kPresentKeySize = 32,
};

// The HardWareKeys under PCI\ of the Configuration Manager's list, cut to
// what the match reads. The list is read once, at the first probe, so that
// the later probes of a run read nothing from the registry; a host bridge
// does not come or go while the program runs.
static struct {
    int Read;
    int Count;
    char Keys[kMaxPresentPci][kPresentKeySize];
} PresentPci;

// Cuts text into destination, a buffer of size bytes.
static void CopyCut(char* destination, const char* text, int size)
{
    // cppcheck warns that lstrcpynA's exception handler hides a bad pointer;
    // here both buffers are valid and of known size, so there is none to hide.
    lstrcpynA(destination, text, size); // cppcheck-suppress lstrcpynACalled
}

// What one subkey's visit is given: the open parent key, the subkey's name,
// the device's key-name prefix and the probe's buffer. A nonzero answer
// ends the walk.
typedef int (*SubkeyVisit)(HKEY parent, const char* name, const char* prefix, char* buffer);

// Visits the subkeys of root\path in their order until a visit answers
// nonzero; answers that, or 0.
static int VisitSubkeys(HKEY root, const char* path, SubkeyVisit visit, const char* prefix, char* buffer)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    int answer = 0;
    char name[MAX_PATH + 1];
    for (DWORD index = 0; answer == 0; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        answer = visit(key, name, prefix, buffer);
    }
    RegCloseKey(key);
    return answer;
}

// Keeps the node's HardWareKey when it lies under PCI\; ends the walk once
// the list of kept keys is full.
static int KeepNodeIfPci(HKEY nodes, const char* node, const char*, char*)
{
    HKEY key;
    if (RegOpenKeyExA(nodes, node, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    char value[MAX_PATH + 1];
    // Room for the NUL that a value may lack. The value is a string; were it
    // binary, its bytes would only be compared as text and name no device.
    DWORD size = sizeof value - 1;
    LONG result = RegQueryValueExA(key, kHardwareKeyValue, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result == ERROR_SUCCESS) {
        value[size] = '\0';
        if (IsPciHardwareKey(value))
            CopyCut(PresentPci.Keys[PresentPci.Count++], value, kPresentKeySize);
    }
    return PresentPci.Count == kMaxPresentPci;
}

// A device key's visit: on a match, copies its name (cut to the buffer)
// into buffer.
static int FindDeviceKey(HKEY, const char* name, const char* prefix, char* buffer)
{
    if (!NamesDevice(name, prefix))
        return 0;
    CopyCut(buffer, name, kProbeBufferSize);
    return 1;
}

// Whether the device is among the present PCI devices. The buffer, which
// the program never reads, is left as it is.
static int IsPresentPci(const char* prefix)
{
    for (int i = 0; i < PresentPci.Count; ++i) {
        if (HardwareKeyNamesDevice(PresentPci.Keys[i], prefix))
            return 1;
    }
    return 0;
}

extern "C" DWORD WINAPI ProbeDevice(DWORD vendorCode, DWORD deviceCode, char* buffer)
{
    char prefix[kDeviceKeyPrefixSize];
    FormatDeviceKeyPrefix(prefix, vendorCode, deviceCode);
    if (!PresentPci.Read) {
        PresentPci.Read = 1;
        VisitSubkeys(HKEY_DYN_DATA, kDeviceNodes, KeepNodeIfPci, prefix, buffer);
    }
    if (PresentPci.Count > 0)
        return IsPresentPci(prefix);
    for (const char* pciKey : kPciKeys) {
        if (VisitSubkeys(HKEY_LOCAL_MACHINE, pciKey, FindDeviceKey, prefix, buffer))
            return 1;
    }
    return 0;
}

extern "C" BOOL WINAPI DllEntry(HINSTANCE, DWORD, void*)
{
    return TRUE;
}
