// Names of PCI device keys: VEN_xxxx&DEV_yyyy&SUBSYS_...&REV_...
#include "probe/enum/device_key.h"

static const char kPciEnumerator[] = "PCI\\";

static char UpperCase(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// What follows prefix at the start of text, compared without regard to
// case; nullptr when text does not start with it.
static const char* AfterPrefix(const char* text, const char* prefix)
{
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (UpperCase(*text) != UpperCase(*prefix))
            return nullptr;
    }
    return text;
}

void FormatDeviceKeyPrefix(char* prefix, DWORD vendorCode, DWORD deviceCode)
{
    wsprintfA(prefix, "VEN_%04X&DEV_%04X", static_cast<unsigned>(vendorCode & 0xFFFF),
              static_cast<unsigned>(deviceCode & 0xFFFF));
}

int NamesDevice(const char* keyName, const char* prefix)
{
    const char* rest = AfterPrefix(keyName, prefix);
    return rest != nullptr && (*rest == '\0' || *rest == '&');
}

int IsPciHardwareKey(const char* hardwareKey)
{
    return AfterPrefix(hardwareKey, kPciEnumerator) != nullptr;
}

int HardwareKeyNamesDevice(const char* hardwareKey, const char* prefix)
{
    const char* devicePart = AfterPrefix(hardwareKey, kPciEnumerator);
    if (devicePart == nullptr)
        return 0;
    const char* rest = AfterPrefix(devicePart, prefix);
    return rest != nullptr && (*rest == '\0' || *rest == '&' || *rest == '\\');
}
