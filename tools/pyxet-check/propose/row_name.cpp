// The row name rule. A row's name is what tells the user's chipset apart from
// the others in the selection list, in at most 31 characters:
//
// 1. The vendor's short name: the last [bracketed] alias of its pci.ids name
//    ("Silicon Integrated Systems [SiS]" is SiS), else its first word without
//    trailing punctuation ("VIA Technologies, Inc." is VIA).
// 2. The chipset part of the device name: what comes before " - ", where
//    pci.ids puts the chipset's name before its chip's ("440BX/ZX/DX -
//    82443BX/ZX/DX Host bridge" is 440BX/ZX/DX); else the whole name.
// 3. The short name goes first, unless the chipset part starts with it
//    already ("AMD-751", "SiS645").
// 4. Words follow while they fit; a [bracketed] or (parenthesized) group is
//    one word, kept whole or not at all. A name is never cut within a word:
//    only a first word longer than the limit is cut at it.
// 5. Words at the end that say what the device does rather than which
//    chipset it is ("Host", "Bridge", "System Controller", "Chipset", ...)
//    or join it to a word cut off ("&", "-", "/") are dropped; the chipset
//    part's first word always stays.
// 6. pci.ids names a chipset "model list [product name]"
//    ("VT8366/A/7 [Apollo KT266/A/333]"). When the product name, the
//    [bracketed] group right after the chipset part's first word, is lost by
//    the cut, it replaces the chipset part, brackets dropped, and rules 3 to 5
//    apply to it: VIA Apollo KT266/A/333, not VIA VT8366/A/7. A bracket
//    further on often lists features or ports ("M1671 Super P4 Northbridge
//    [AGP4X,PCI and SDR/DDR]", "... PCIe Port [1:0]") and is not taken.
#include "propose/row_name.h"

#include <cctype>
#include <strings.h>
#include <vector>

namespace {

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text + " ") {
        if (c != ' ') {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

// The words with each bracketed group joined into one.
std::vector<std::string> Units(const std::string& text)
{
    std::vector<std::string> units;
    char closing = 0;
    for (const std::string& word : Words(text)) {
        if (closing != 0) {
            units.back() += " " + word;
        } else {
            units.push_back(word);
            closing = word[0] == '[' ? ']' : word[0] == '(' ? ')' : '\0';
        }
        if (closing != 0 && units.back().size() > 1 && units.back().back() == closing)
            closing = 0;
    }
    return units;
}

std::string VendorShortName(const std::string& vendorName)
{
    size_t open = vendorName.rfind('[');
    size_t close = vendorName.rfind(']');
    if (open != std::string::npos && close != std::string::npos && close > open + 1)
        return vendorName.substr(open + 1, close - open - 1);
    std::vector<std::string> words = Words(vendorName);
    if (words.empty())
        return "";
    std::string first = words[0];
    while (!first.empty() && std::ispunct(static_cast<unsigned char>(first.back())))
        first.pop_back();
    return first;
}

// Whether word is the vendor's short name or starts with it before a
// character that is no letter ("AMD-751", "SiS645").
bool StartsWithVendor(const std::string& word, const std::string& vendor)
{
    if (vendor.empty() || word.size() < vendor.size() ||
        strncasecmp(word.c_str(), vendor.c_str(), vendor.size()) != 0)
        return false;
    return word.size() == vendor.size() || !std::isalpha(static_cast<unsigned char>(word[vendor.size()]));
}

bool IsFunctionWord(std::string word)
{
    static const char* const kFunctionWords[] = {
        "host", "bridge", "host-bridge", "northbridge", "north", "controller", "system", "chipset",
        "pci", "agp", "memory", "hub", "cpu", "to", "and", "&", "-", "/"};
    while (word.size() > 1 && (word.back() == ':' || word.back() == ','))
        word.pop_back();
    for (const char* function : kFunctionWords) {
        if (strcasecmp(word.c_str(), function) == 0)
            return true;
    }
    return false;
}

std::string Joined(const std::vector<std::string>& units)
{
    std::string text;
    for (const std::string& unit : units)
        text += (text.empty() ? "" : " ") + unit;
    return text;
}

bool IsBracketed(const std::string& unit)
{
    return unit.size() > 2 && unit.front() == '[' && unit.back() == ']';
}

// Rules 3 to 5: the short name and as many of the chipset part's units as fit.
std::string Fitted(const std::string& vendor, const std::vector<std::string>& device)
{
    std::vector<std::string> name;
    bool vendorFirst = !vendor.empty() && !StartsWithVendor(device[0], vendor);
    if (vendorFirst && vendor.size() + 1 + device[0].size() <= kRowNameMax)
        name.push_back(vendor);
    size_t length = name.empty() ? 0 : vendor.size();
    size_t first = name.size();  // where the chipset part starts in name
    for (const std::string& unit : device) {
        size_t added = (name.empty() ? 0 : 1) + unit.size();
        if (length + added > kRowNameMax)
            break;
        name.push_back(unit);
        length += added;
    }
    if (name.size() == first)
        return device[0].substr(0, kRowNameMax);
    while (name.size() > first + 1 && IsFunctionWord(name.back()))
        name.pop_back();
    return Joined(name);
}

}  // namespace

std::string RowName(const std::string& vendorName, const std::string& deviceName)
{
    size_t dash = deviceName.find(" - ");
    std::vector<std::string> device = Units(deviceName.substr(0, dash));
    if (device.empty())
        return "";
    std::string vendor = VendorShortName(vendorName);
    std::string name = Fitted(vendor, device);
    if (device.size() > 1 && IsBracketed(device[1]) && name.find(device[1]) == std::string::npos) {
        std::vector<std::string> product = Units(device[1].substr(1, device[1].size() - 2));
        if (!product.empty())
            return Fitted(vendor, product);
    }
    return name;
}
