// Names of PCI device keys: VEN_xxxx&DEV_yyyy&SUBSYS_...&REV_...
#include "probe/enum/device_key.h"

static char UpperCase(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

void FormatDeviceKeyPrefix(char* prefix, DWORD vendorCode, DWORD deviceCode)
{
    wsprintfA(prefix, "VEN_%04X&DEV_%04X", static_cast<unsigned>(vendorCode & 0xFFFF),
              static_cast<unsigned>(deviceCode & 0xFFFF));
}

int NamesDevice(const char* keyName, const char* prefix)
{
    for (; *prefix != '\0'; ++keyName, ++prefix) {
        if (UpperCase(*keyName) != UpperCase(*prefix))
            return 0;
    }
    return *keyName == '\0' || *keyName == '&';
}
