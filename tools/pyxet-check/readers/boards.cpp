// Board listings: lspci's output in each of its forms, and REGEDIT exports
// of the PCI device keys, read for the keys that ENUM.DLL would find and for
// the devices. The rules:
// - Text saved in UTF-16 (a byte order mark first, either order) is read as
//   ASCII, a UTF-8 mark is dropped; lines end in CR LF, LF or CR.
// - lspci: a device line starts with the slot ([domain:]bus:device.function)
//   after blanks no deeper than the first device line's (a paste's leading
//   blank); deeper lines are the detail lines of -v and -k. After the slot:
//   "Class 0600: 8086:7190" (-n before pciutils 2.2), "0600: 8086:7190" (-n),
//   "Host bridge [0600]: ... [8086:7190]" (-nn), or quoted fields "0600"
//   "8086" "7190" (-mn; "Class 0600" in old versions; names ending in
//   "[0600]" with -mnn).
// - lspci -vmm: records of "Key:<tab>value" lines opened by the slot
//   ("Slot:", or "Device:" before pciutils 3, whose second "Device:" is the
//   device), with Class, Vendor and Device as codes (-vmmn) or as names that
//   end in the code in brackets (-vmmnn).
// - A device listed by name alone (plain lspci, -m, -vmm) gives no device; a
//   listing of only such devices is refused with the command to run instead.
// - REGEDIT: a device is an instance key under Enum\PCI\<device key>, and a
//   device key whose export shows no instance stands for one. It is the host
//   bridge when its HardwareID or CompatibleIDs holds CC_0600, as a string or
//   a hex(7) multi-string (ANSI in REGEDIT4, UTF-16LE in REGEDIT 5), whose
//   lines go on after ",\".
#include "readers/boards.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>

#include "probe/enum/device_key.h"
#include "readers/utf16.h"

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

bool StartsWithNoCase(const std::string& line, const char* start)
{
    return strncasecmp(line.c_str(), start, strlen(start)) == 0;
}

// The text as bytes: UTF-16 in the order its mark says, a character beyond
// Latin-1 as '?'; a UTF-8 mark dropped.
std::string AsciiText(const std::string& text)
{
    const bool little = text.compare(0, 2, "\xFF\xFE") == 0;
    const bool big = text.compare(0, 2, "\xFE\xFF") == 0;
    if (!little && !big)
        return text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text;
    return BytesFromUtf16(reinterpret_cast<const unsigned char*>(text.data()) + 2, text.size() - 2, big);
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
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// The length of the slot ([domain:]bus:device.function) that text starts
// with, ended by a blank or the end; 0 when it starts with none.
size_t SlotLength(const std::string& text)
{
    const size_t bus = IsHexRun(text, 0, 4) && text.size() > 4 && text[4] == ':' ? 5 : 0;
    const size_t length = bus + 7;
    const bool slot = IsHexRun(text, bus, 2) && text.size() >= length && text[bus + 2] == ':' &&
                      IsHexRun(text, bus + 3, 2) && text[bus + 5] == '.' && IsHex(text[bus + 6]);
    return slot && (text.size() == length || text[length] == ' ' || text[length] == '\t') ? length : 0;
}

// How deep a line is indented, a tab reaching the next multiple of 8; at is
// set where its text starts.
size_t IndentWidth(const std::string& line, size_t* at)
{
    size_t width = 0;
    for (*at = 0; *at < line.size() && (line[*at] == ' ' || line[*at] == '\t'); ++*at)
        width = line[*at] == '\t' ? (width / 8 + 1) * 8 : width + 1;
    return width;
}

// A device as lspci lists it: its slot and the codes it shows, each empty
// where the listing gives a name alone.
struct ListedDevice {
    std::string Slot;
    std::string Class;
    std::string Vendor;
    std::string Device;
};

// The code a field shows: the field itself ("0600"), after "Class " (old
// versions), or in brackets at its end ("Host bridge [0600]"); else empty.
std::string FieldCode(std::string field)
{
    field.erase(field.find_last_not_of(" \t") + 1);
    if (StartsWithNoCase(field, "Class "))
        field.erase(0, 6);
    const size_t n = field.size();
    if (n == 4 && IsHexRun(field, 0, 4))
        return field;
    return n >= 6 && field[n - 6] == '[' && IsHexRun(field, n - 5, 4) && field[n - 1] == ']' ? field.substr(n - 5, 4)
                                                                                               : "";
}

// The last "vvvv:dddd" of the text: after the class with -n, in brackets at
// the end of the names with -nn.
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

// The quoted fields of an lspci -m line, in order; its options (-r03) are
// not quoted.
std::vector<std::string> QuotedFields(const std::string& text)
{
    std::vector<std::string> fields;
    for (size_t open = text.find('"'); open != std::string::npos; open = text.find('"', open)) {
        const size_t close = text.find('"', open + 1);
        if (close == std::string::npos)
            break;
        fields.push_back(text.substr(open + 1, close - open - 1));
        open = close + 1;
    }
    return fields;
}

// A field of the device, unless the listing gives no code for it.
void KeepCode(std::string* field, const std::string& code)
{
    if (!code.empty())
        *field = code;
}

// A device line's class and codes after its slot: -m's quoted fields, or
// the class up to ": " and the codes after it.
void ReadDeviceLine(const std::string& rest, ListedDevice* device)
{
    if (rest.compare(0, 1, "\"") == 0) {
        std::vector<std::string> fields = QuotedFields(rest);
        fields.resize(std::max<size_t>(fields.size(), 3));
        KeepCode(&device->Class, FieldCode(fields[0]));
        KeepCode(&device->Vendor, FieldCode(fields[1]));
        KeepCode(&device->Device, FieldCode(fields[2]));
        return;
    }
    const size_t colon = rest.find(": ");
    std::string vendor;
    std::string id;
    if (colon == std::string::npos)
        return;
    KeepCode(&device->Class, FieldCode(rest.substr(0, colon)));
    if (LastDeviceId(rest.substr(colon + 2), &vendor, &id)) {
        device->Vendor = vendor;
        device->Device = id;
    }
}

// The device at the slot, listed once however often the input shows it.
ListedDevice* DeviceAt(std::vector<ListedDevice>* listed, const std::string& slot)
{
    for (ListedDevice& known : *listed) {
        if (strcasecmp(known.Slot.c_str(), slot.c_str()) == 0)
            return &known;
    }
    listed->push_back({slot, "", "", ""});
    return &listed->back();
}

// The value of an lspci -vmm line "Key:<tab>value", or false when the line
// has another key.
bool RecordValue(const std::string& line, const char* key, std::string* value)
{
    const size_t length = strlen(key);
    if (line.compare(0, length, key) != 0)
        return false;
    const size_t at = line.find_first_not_of(" \t", length);
    *value = at == std::string::npos ? "" : line.substr(at);
    return at != length;
}

// A line inside an lspci -vmm record: a blank line ends it (nullptr).
ListedDevice* ReadRecordLine(const std::string& text, ListedDevice* record)
{
    std::string value;
    if (text.find_first_not_of(" \t") == std::string::npos)
        return nullptr;
    if (RecordValue(text, "Class:", &value))
        KeepCode(&record->Class, FieldCode(value));
    else if (RecordValue(text, "Vendor:", &value))
        KeepCode(&record->Vendor, FieldCode(value));
    else if (RecordValue(text, "Device:", &value))
        KeepCode(&record->Device, FieldCode(value));
    return record;
}

// The devices of an lspci listing in any of its forms, in the order listed.
std::vector<ListedDevice> ListedDevices(const std::string& text)
{
    std::vector<ListedDevice> listed;
    ListedDevice* record = nullptr;
    size_t margin = std::string::npos;
    for (const std::string& line : Lines(AsciiText(text))) {
        size_t at = 0;
        const size_t indent = IndentWidth(line, &at);
        const std::string content = line.substr(at);
        const size_t slot = SlotLength(content);
        std::string value;
        if (slot != 0 && indent <= margin) {
            margin = std::min(margin, indent);
            const size_t rest = std::min(content.find_first_not_of(" \t", slot), content.size());
            ReadDeviceLine(content.substr(rest), DeviceAt(&listed, content.substr(0, slot)));
            record = nullptr;
        } else if ((RecordValue(content, "Slot:", &value) || RecordValue(content, "Device:", &value)) &&
                   SlotLength(value) != 0) {
            record = DeviceAt(&listed, value.substr(0, SlotLength(value)));
        } else if (record != nullptr) {
            record = ReadRecordLine(content, record);
        }
    }
    return listed;
}

const char kNoLspciDevice[] =
    "holds no device line of lspci (\"00:00.0 0600: 8086:7190\"): give the output of lspci -nn";
const char kNamesOnly[] =
    "lists the devices by name, without their codes (as plain lspci, lspci -m and lspci -vmm do): "
    "give the output of lspci -nn instead";

// The devices of the listing that show their codes, or false with the
// reason: names alone where no device shows a code at all.
bool CodedDevices(const std::string& text, std::vector<ListedDevice>* coded, std::string* error)
{
    const std::vector<ListedDevice> listed = ListedDevices(text);
    bool anyCode = false;
    for (const ListedDevice& device : listed) {
        anyCode = anyCode || !device.Class.empty() || !device.Vendor.empty() || !device.Device.empty();
        if (!device.Vendor.empty() && !device.Device.empty())
            coded->push_back(device);
    }
    if (coded->empty())
        *error = listed.empty() || anyCode ? kNoLspciDevice : kNamesOnly;
    return !coded->empty();
}

bool ReadLspci(const std::string& text, std::vector<std::string>* keys, std::string* error)
{
    std::vector<ListedDevice> coded;
    if (!CodedDevices(text, &coded, error))
        return false;
    for (const ListedDevice& device : coded)
        keys->push_back("VEN_" + device.Vendor + "&DEV_" + device.Device);
    return true;
}

uint16_t HexWord(const std::string& digits)
{
    return static_cast<uint16_t>(std::stoul(digits, nullptr, 16));
}

bool ReadLspciDevices(const std::string& text, std::vector<BoardDevice>* devices, std::string* error)
{
    std::vector<ListedDevice> coded;
    if (!CodedDevices(text, &coded, error))
        return false;
    for (const ListedDevice& device : coded)
        devices->push_back({HexWord(device.Vendor), HexWord(device.Device), device.Class == "0600", device.Slot});
    return true;
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

const char kRegedit5[] = "Windows Registry Editor Version 5.00";

// The lines of a registry export, a hex value's lines joined where they go
// on after ",\", and whether its multi-strings are UTF-16 (REGEDIT 5); or
// false with the reason when it is no export.
bool RegistryLines(const std::string& text, std::vector<std::string>* lines, bool* wide, std::string* error)
{
    const std::vector<std::string> written = Lines(AsciiText(text));
    if (written.empty() || (written[0] != "REGEDIT4" && written[0] != kRegedit5)) {
        *error = "is no registry export: its first line is neither \"REGEDIT4\" nor \"" + std::string(kRegedit5) + "\"";
        return false;
    }
    *wide = written[0] == kRegedit5;
    for (const std::string& line : written) {
        const size_t n = lines->empty() ? 0 : lines->back().size();
        if (n >= 2 && lines->back().compare(n - 2, 2, ",\\") == 0)
            lines->back().replace(n - 1, 1, line.substr(std::min(line.find_first_not_of(" \t"), line.size())));
        else
            lines->push_back(line);
    }
    return true;
}

// The path of a key line below a PCI key ("VEN_1106&DEV_0598&...\BUS_00..."),
// or empty.
std::string RegistryKeyPath(const std::string& line)
{
    for (const char* pciKey : kRegistryPciKeys) {
        size_t length = strlen(pciKey);
        if (line.size() <= length + 1 || line[0] != '[' || strncasecmp(line.c_str() + 1, pciKey, length) != 0)
            continue;
        std::string rest = line.substr(length + 1);
        return rest.substr(0, rest.find(']'));
    }
    return "";
}

// The device key name of a key line ("VEN_1106&DEV_0598&..."), or empty.
std::string RegistryDeviceKey(const std::string& line)
{
    std::string path = RegistryKeyPath(line);
    return path.substr(0, path.find('\\'));
}

const char kNoRegistryDevice[] =
    "holds no key under HKEY_LOCAL_MACHINE\\Enum\\PCI or HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI";

bool ReadRegistryExport(const std::string& text, std::vector<std::string>* keys, std::string* error)
{
    std::vector<std::string> lines;
    bool wide = false;
    if (!RegistryLines(text, &lines, &wide, error))
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

// A hex(7) value's strings, a comma between them: its bytes ("50,00,43,...")
// a character each in REGEDIT4, two (UTF-16LE) in REGEDIT 5.
std::string MultiString(const std::string& hex, bool wide)
{
    std::vector<unsigned> bytes;
    for (size_t i = 0; i < hex.size(); ++i) {
        if (IsHexRun(hex, i, 2))
            bytes.push_back(static_cast<unsigned>(std::stoul(hex.substr(i++, 2), nullptr, 16)));
    }
    std::string text;
    const size_t step = wide ? 2 : 1;
    for (size_t i = 0; i + step <= bytes.size(); i += step) {
        const unsigned c = bytes[i] | (wide ? bytes[i + 1] << 8 : 0);
        text += c == 0 ? ',' : (c < 0x100 ? static_cast<char>(c) : '?');
    }
    return text;
}

// Whether a value line is HardwareID or CompatibleIDs and holds CC_0600.
bool NamesHostBridgeClass(const std::string& line, bool wide)
{
    std::string ids;
    for (const char* name : {"\"HardwareID\"=", "\"CompatibleIDs\"="}) {
        if (!StartsWithNoCase(line, name))
            continue;
        ids = line.substr(strlen(name));
        if (StartsWithNoCase(ids, "hex(7):"))
            ids = MultiString(ids.substr(7), wide);
    }
    std::transform(ids.begin(), ids.end(), ids.begin(), [](char c) { return static_cast<char>(toupper(static_cast<unsigned char>(c))); });
    return ids.find("CC_0600") != std::string::npos;
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

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(tolower(static_cast<unsigned char>(c))); });
    return text;
}

// The device a key line below a PCI key opens: its instance key's, the
// device key's own line standing for its instance until that is seen.
BoardDevice* OpenDevice(std::vector<BoardDevice>* devices, const std::string& path)
{
    const std::string name = path.substr(0, path.find('\\'));
    const bool named = name.size() >= 17 && StartsWithNoCase(name, "VEN_") && StartsWithNoCase(name.substr(8), "&DEV_") &&
                       IsHexRun(name, 4, 4) && IsHexRun(name, 13, 4);
    if (!named)
        return nullptr;
    const std::string instance = name.size() < path.size() ? path.substr(name.size() + 1) : "";
    const std::string keyOnly = Lower(name) + "\\";
    const std::string slot = keyOnly + Lower(instance.substr(0, instance.find('\\')));
    for (BoardDevice& known : *devices) {
        const bool sameKey = known.Slot.compare(0, keyOnly.size(), keyOnly) == 0;
        if (known.Slot == slot || (sameKey && instance.empty()) || (known.Slot == keyOnly && !instance.empty())) {
            known.Slot = instance.empty() ? known.Slot : slot;
            return &known;
        }
    }
    devices->push_back({HexWord(name.substr(4, 4)), HexWord(name.substr(13, 4)), false, slot});
    return &devices->back();
}

bool ReadRegistryDevices(const std::string& text, std::vector<BoardDevice>* devices, std::string* error)
{
    std::vector<std::string> lines;
    bool wide = false;
    if (!RegistryLines(text, &lines, &wide, error))
        return false;
    BoardDevice* current = nullptr;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '[') {
            current = OpenDevice(devices, RegistryKeyPath(line));
        } else if (current != nullptr && NamesHostBridgeClass(line, wide)) {
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
