// Board listings: lspci's device lines and REGEDIT exports of the PCI device
// keys, read for the keys that ENUM.DLL would find and for the devices.
#include "readers/boards.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>

#include "probe/enum/device_key.h"

namespace {

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsHexRun(const std::string& text, size_t at, size_t count)
{
    if (at + count > text.size())
        return false;
    for (size_t i = at; i < at + count; ++i) {
        if (!IsHex(text[i]))
            return false;
    }
    return true;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A device line of lspci starts with its slot: [domain:]bus:device.function.
bool StartsWithSlot(const std::string& line)
{
    size_t at = IsHexRun(line, 0, 4) && line.size() > 4 && line[4] == ':' ? 5 : 0;
    return IsHexRun(line, at, 2) && line.size() > at + 7 && line[at + 2] == ':' &&
           IsHexRun(line, at + 3, 2) && line[at + 5] == '.' && IsHex(line[at + 6]);
}

// The last "vvvv:dddd" of a device line: after the class with -n, in
// brackets at the end of the names with -nn.
bool LastDeviceId(const std::string& line, std::string* vendor, std::string* device)
{
    bool found = false;
    for (size_t i = 0; i + 9 <= line.size(); ++i) {
        bool bounded = (i == 0 || (!IsHex(line[i - 1]) && line[i - 1] != ':')) &&
                       (i + 9 == line.size() || (!IsHex(line[i + 9]) && line[i + 9] != ':'));
        if (bounded && IsHexRun(line, i, 4) && line[i + 4] == ':' && IsHexRun(line, i + 5, 4)) {
            *vendor = line.substr(i, 4);
            *device = line.substr(i + 5, 4);
            found = true;
        }
    }
    return found;
}

// The class of a device line: "0600" of "00:00.0 0600: ..." (-n) or of
// "00:00.0 Host bridge [0600]: ..." (-nn); empty when it shows none.
std::string LspciClass(const std::string& line)
{
    size_t at = line.find(' ');
    if (at == std::string::npos)
        return "";
    ++at;
    if (IsHexRun(line, at, 4) && line.size() > at + 4 && line[at + 4] == ':')
        return line.substr(at, 4);
    size_t close = line.find("]: ", at);
    if (close == std::string::npos || close < at + 5 || line[close - 5] != '[' || !IsHexRun(line, close - 4, 4))
        return "";
    return line.substr(close - 4, 4);
}

const char kNoLspciDevice[] = "holds no device line of lspci -n or lspci -nn (\"00:00.0 0600: 8086:7190\")";

bool ReadLspci(const std::string& text, std::vector<std::string>* keys, std::string* error)
{
    for (const std::string& line : Lines(text)) {
        std::string vendor;
        std::string device;
        if (StartsWithSlot(line) && LastDeviceId(line, &vendor, &device))
            keys->push_back("VEN_" + vendor + "&DEV_" + device);
    }
    if (keys->empty())
        *error = kNoLspciDevice;
    return !keys->empty();
}

uint16_t HexWord(const std::string& digits)
{
    return static_cast<uint16_t>(std::stoul(digits, nullptr, 16));
}

// Adds the device unless the board has it already; returns it.
BoardDevice* AddBoardDevice(std::vector<BoardDevice>* devices, uint16_t vendor, uint16_t device)
{
    for (BoardDevice& known : *devices) {
        if (known.Vendor == vendor && known.Device == device)
            return &known;
    }
    devices->push_back({vendor, device, false});
    return &devices->back();
}

bool ReadLspciDevices(const std::string& text, std::vector<BoardDevice>* devices, std::string* error)
{
    for (const std::string& line : Lines(text)) {
        std::string vendor;
        std::string device;
        if (!StartsWithSlot(line) || !LastDeviceId(line, &vendor, &device))
            continue;
        BoardDevice* found = AddBoardDevice(devices, HexWord(vendor), HexWord(device));
        found->HostBridge = found->HostBridge || LspciClass(line) == "0600";
    }
    if (devices->empty())
        *error = kNoLspciDevice;
    return !devices->empty();
}

// REGEDIT 5 exports are UTF-16; the key names are plain ASCII.
std::string Utf16ToAscii(const std::string& text)
{
    std::string ascii;
    for (size_t i = 2; i + 1 < text.size(); i += 2)
        ascii += text[i + 1] == 0 ? text[i] : '?';
    return ascii;
}

const char* const kRegistryPciKeys[] = {
    "HKEY_LOCAL_MACHINE\\Enum\\PCI\\",
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\",
};

// The Configuration Manager's list of the devices present in the session
// that REGEDIT on Windows 98 exports: a key per device node, whose
// HardWareKey value names the device's key under HKEY_LOCAL_MACHINE\Enum.
const char kDeviceNodeKey[] = "[HKEY_DYN_DATA\\Config Manager\\Enum\\";
const char kHardwareKeyValue[] = "\"HardWareKey\"=\"";

bool StartsWithNoCase(const std::string& line, const char* start)
{
    return strncasecmp(line.c_str(), start, strlen(start)) == 0;
}

// A REGEDIT4 string value's text: backslashes and quotes come escaped.
std::string UnescapedString(const std::string& line, size_t at)
{
    std::string text;
    for (size_t i = at; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size())
            ++i;
        text += line[i];
    }
    return text;
}

// The HardWareKeys under PCI\ of the export's device nodes.
std::vector<std::string> PresentPciDevices(const std::vector<std::string>& lines)
{
    std::vector<std::string> present;
    bool inDeviceNode = false;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '[') {
            inDeviceNode = StartsWithNoCase(line, kDeviceNodeKey) &&
                           line.find('\\', strlen(kDeviceNodeKey)) == std::string::npos;
        } else if (inDeviceNode && StartsWithNoCase(line, kHardwareKeyValue)) {
            std::string hardwareKey = UnescapedString(line, strlen(kHardwareKeyValue));
            if (IsPciHardwareKey(hardwareKey.c_str()))
                present.push_back(hardwareKey);
        }
    }
    return present;
}

// The lines of a registry export, or false with the reason when it is none.
bool RegistryLines(std::string text, std::vector<std::string>* lines, std::string* error)
{
    if (text.compare(0, 2, "\xFF\xFE") == 0)
        text = Utf16ToAscii(text);
    *lines = Lines(text);
    if (lines->empty() || ((*lines)[0] != "REGEDIT4" && (*lines)[0] != "Windows Registry Editor Version 5.00")) {
        *error = "is no REGEDIT4 export: its first line is not \"REGEDIT4\"";
        return false;
    }
    return true;
}

// The device key name of a key line under a PCI key ("VEN_1106&DEV_0598&..."),
// or empty.
std::string RegistryDeviceKey(const std::string& line)
{
    for (const char* pciKey : kRegistryPciKeys) {
        size_t length = strlen(pciKey);
        if (line.size() <= length + 1 || line[0] != '[' || strncasecmp(line.c_str() + 1, pciKey, length) != 0)
            continue;
        std::string rest = line.substr(length + 1);
        return rest.substr(0, rest.find_first_of("\\]"));
    }
    return "";
}

const char kNoRegistryDevice[] =
    "holds no key under HKEY_LOCAL_MACHINE\\Enum\\PCI or HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI";

bool ReadRegistryExport(const std::string& text, std::vector<std::string>* keys, std::string* error)
{
    std::vector<std::string> lines;
    if (!RegistryLines(text, &lines, error))
        return false;
    for (const std::string& line : lines) {
        std::string name = RegistryDeviceKey(line);
        bool known = false;
        for (const std::string& key : *keys)
            known = known || strcasecmp(key.c_str(), name.c_str()) == 0;
        if (!name.empty() && !known)
            keys->push_back(name);
    }
    // Where the Configuration Manager lists a PCI device, only the devices
    // it lists answer, as in ENUM.DLL.
    std::vector<std::string> present = PresentPciDevices(lines);
    if (!present.empty())
        *keys = present;
    if (keys->empty())
        *error = kNoRegistryDevice;
    return !keys->empty();
}

// Whether a value line is HardwareID or CompatibleIDs and holds CC_0600.
bool NamesHostBridgeClass(const std::string& line)
{
    bool idValue = strncasecmp(line.c_str(), "\"HardwareID\"=", 13) == 0 ||
                   strncasecmp(line.c_str(), "\"CompatibleIDs\"=", 16) == 0;
    std::string upper;
    for (char c : line)
        upper += static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return idValue && upper.find("CC_0600") != std::string::npos;
}

// A device key names the device by its name; a HardWareKey of the
// Configuration Manager's list by its part under PCI\.
bool KeyNamesDevice(const std::string& key, const char* prefix)
{
    return IsPciHardwareKey(key.c_str()) ? HardwareKeyNamesDevice(key.c_str(), prefix) != 0
                                         : NamesDevice(key.c_str(), prefix) != 0;
}

}  // namespace

bool AnyKeyNamesDevice(const std::vector<std::string>& keys, uint32_t vendorCode, uint32_t deviceCode)
{
    char prefix[kDeviceKeyPrefixSize];
    FormatDeviceKeyPrefix(prefix, vendorCode, deviceCode);
    for (const std::string& key : keys) {
        if (KeyNamesDevice(key, prefix))
            return true;
    }
    return false;
}

namespace {

bool ReadRegistryDevices(const std::string& text, std::vector<BoardDevice>* devices, std::string* error)
{
    std::vector<std::string> lines;
    if (!RegistryLines(text, &lines, error))
        return false;
    BoardDevice* current = nullptr;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '[') {
            std::string name = RegistryDeviceKey(line);
            const bool named = name.size() >= 17 && strncasecmp(name.c_str(), "VEN_", 4) == 0 &&
                               strncasecmp(name.c_str() + 8, "&DEV_", 5) == 0 && IsHexRun(name, 4, 4) &&
                               IsHexRun(name, 13, 4);
            current = named ? AddBoardDevice(devices, HexWord(name.substr(4, 4)), HexWord(name.substr(13, 4)))
                            : nullptr;
        } else if (current != nullptr && NamesHostBridgeClass(line)) {
            current->HostBridge = true;
        }
    }
    if (devices->empty()) {
        *error = kNoRegistryDevice;
        return false;
    }
    // As for the what-if: where the Configuration Manager lists PCI devices,
    // the board is those alone, not the keys an earlier board left.
    std::vector<std::string> present = PresentPciDevices(lines);
    if (!present.empty())
        devices->erase(std::remove_if(devices->begin(), devices->end(),
                                      [&present](const BoardDevice& device) {
                                          return !AnyKeyNamesDevice(present, device.Vendor, device.Device);
                                      }),
                       devices->end());
    return true;
}
}  // namespace

bool ReadDeviceKeys(const std::string& text, BoardFormat format, std::vector<std::string>* keys,
                    std::string* error)
{
    keys->clear();
    return format == BoardFormat::Lspci ? ReadLspci(text, keys, error) : ReadRegistryExport(text, keys, error);
}

bool ReadBoardDevices(const std::string& text, BoardFormat format, std::vector<BoardDevice>* devices,
                      std::string* error)
{
    devices->clear();
    return format == BoardFormat::Lspci ? ReadLspciDevices(text, devices, error)
                                        : ReadRegistryDevices(text, devices, error);
}

bool IsPresentDeviceKey(const std::string& key)
{
    return IsPciHardwareKey(key.c_str()) != 0;
}
