// Parses the parts of a PE32 image that the binary checks look at. Offsets
// follow the PE/COFF layout: DOS header, "PE\0\0", COFF header, optional
// header with its data directories, then the section table.
#include "pe_image.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

constexpr std::uint16_t kDosSignature = 0x5A4D;     // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint32_t kOrdinalFlag = 0x80000000;
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000;
constexpr std::size_t kImportDescriptorSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw MalformedImage("cannot open " + path);
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

std::string UpperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

PeImage::PeImage(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

PeImage PeImage::Load(const std::string& path)
{
    PeImage image(ReadFile(path));
    image.parseHeaders();
    return image;
}

void PeImage::parseHeaders()
{
    if (view().u16(0) != kDosSignature) {
        throw MalformedImage("no MZ signature");
    }
    const std::size_t pe = view().u32(0x3C);
    if (view().u32(pe) != kPeSignature) {
        throw MalformedImage("no PE signature");
    }
    const std::size_t coff = pe + 4;
    headers_.machine = view().u16(coff);
    const std::uint16_t sectionCount = view().u16(coff + 2);
    const std::uint16_t optionalSize = view().u16(coff + 16);
    headers_.characteristics = view().u16(coff + 18);

    const std::size_t optional = coff + 20;
    headers_.optionalMagic = view().u16(optional);
    if (headers_.optionalMagic != kPe32Magic) {
        throw MalformedImage("optional header magic is not PE32 (0x10B)");
    }
    headers_.subsystemMajor = view().u16(optional + 48);
    headers_.subsystemMinor = view().u16(optional + 50);
    headers_.subsystem = view().u16(optional + 68);
    const std::uint32_t directoryCount = view().u32(optional + 92);
    for (std::uint32_t i = 0; i < directoryCount && i < 16; ++i) {
        headers_.directories.push_back({view().u32(optional + 96 + 8 * i), view().u32(optional + 100 + 8 * i)});
    }

    for (std::size_t i = 0, at = optional + optionalSize; i < sectionCount; ++i, at += kSectionHeaderSize) {
        sections_.push_back({view().u32(at + 12), view().u32(at + 8), view().u32(at + 20), view().u32(at + 16)});
    }
}

DataDirectory PeImage::directory(DataDirectoryIndex index) const
{
    return static_cast<std::size_t>(index) < headers_.directories.size() ? headers_.directories[index]
                                                                          : DataDirectory{};
}

std::size_t PeImage::offsetOfRva(std::uint32_t rva) const
{
    for (const Section& section : sections_) {
        const std::uint32_t extent = std::max(section.virtualSize, section.rawSize);
        if (rva >= section.virtualAddress && rva - section.virtualAddress < extent) {
            const std::uint32_t inSection = rva - section.virtualAddress;
            if (inSection >= section.rawSize) {
                throw MalformedImage("RVA " + std::to_string(rva) + " lies in a section's uninitialised tail");
            }
            return section.rawOffset + inSection;
        }
    }
    throw MalformedImage("RVA " + std::to_string(rva) + " lies in no section");
}

std::vector<std::string> PeImage::imports() const
{
    std::vector<std::string> result;
    const DataDirectory table = directory(kImportDirectory);
    if (table.rva == 0) {
        return result;
    }
    for (std::size_t at = offsetOfRva(table.rva);; at += kImportDescriptorSize) {
        const std::uint32_t lookupRva = view().u32(at);
        const std::uint32_t nameRva = view().u32(at + 12);
        const std::uint32_t addressRva = view().u32(at + 16);
        if (nameRva == 0 && addressRva == 0) {
            return result;
        }
        // Without a lookup table the address table still holds the names on disk.
        const std::vector<std::string> functions =
            importsOf(lookupRva != 0 ? lookupRva : addressRva, UpperCase(view().cString(offsetOfRva(nameRva))));
        result.insert(result.end(), functions.begin(), functions.end());
    }
}

std::vector<std::string> PeImage::importsOf(std::uint32_t thunkRva, const std::string& dll) const
{
    std::vector<std::string> functions;
    for (std::size_t at = offsetOfRva(thunkRva);; at += 4) {
        const std::uint32_t thunk = view().u32(at);
        if (thunk == 0) {
            return functions;
        }
        if (thunk & kOrdinalFlag) {
            functions.push_back(dll + "!#" + std::to_string(thunk & 0xFFFF));
        } else {
            functions.push_back(dll + "!" + view().cString(offsetOfRva(thunk) + 2));  // past the hint
        }
    }
}

std::optional<ExportTable> PeImage::exports() const
{
    const DataDirectory table = directory(kExportDirectory);
    if (table.rva == 0) {
        return std::nullopt;
    }
    const std::size_t at = offsetOfRva(table.rva);
    ExportTable result;
    result.ordinalBase = view().u32(at + 16);
    const std::uint32_t functionCount = view().u32(at + 20);
    result.nameCount = view().u32(at + 24);
    const std::uint32_t functionsRva = view().u32(at + 28);
    for (std::uint32_t i = 0; i < functionCount; ++i) {
        result.functionRvas.push_back(view().u32(offsetOfRva(functionsRva) + 4 * i));
    }
    return result;
}

std::optional<std::uint32_t> PeImage::resourceEntry(std::size_t directoryOffset, std::uint16_t id) const
{
    const std::size_t entryCount = view().u16(directoryOffset + 12) + view().u16(directoryOffset + 14);
    for (std::size_t i = 0, at = directoryOffset + 16; i < entryCount; ++i, at += 8) {
        if (view().u32(at) == id) {  // a named entry has its top bit set and never matches
            return view().u32(at + 4);
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> PeImage::languagesOf(std::uint16_t type, std::uint16_t id) const
{
    const DataDirectory table = directory(kResourceDirectory);
    if (table.rva == 0) {
        return std::nullopt;
    }
    const std::size_t root = offsetOfRva(table.rva);
    const std::optional<std::uint32_t> typeEntry = resourceEntry(root, type);
    if (!typeEntry || !(*typeEntry & kSubdirectoryFlag)) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> idEntry = resourceEntry(root + (*typeEntry & ~kSubdirectoryFlag), id);
    if (!idEntry || !(*idEntry & kSubdirectoryFlag)) {
        return std::nullopt;
    }
    const std::size_t languages = root + (*idEntry & ~kSubdirectoryFlag);
    if (view().u16(languages + 12) + view().u16(languages + 14) == 0) {
        return std::nullopt;
    }
    return languages;
}

std::optional<std::vector<std::uint8_t>> PeImage::resource(std::uint16_t type, std::uint16_t id) const
{
    const std::optional<std::size_t> languages = languagesOf(type, id);
    if (!languages) {
        return std::nullopt;
    }
    const std::uint32_t firstLanguage = view().u32(*languages + 16 + 4);
    if (firstLanguage & kSubdirectoryFlag) {
        throw MalformedImage("resource language entry is a directory");
    }
    const std::size_t data = offsetOfRva(directory(kResourceDirectory).rva) + firstLanguage;
    return view().slice(offsetOfRva(view().u32(data)), view().u32(data + 4));
}

std::optional<std::uint16_t> PeImage::resourceLanguage(std::uint16_t type, std::uint16_t id) const
{
    const std::optional<std::size_t> languages = languagesOf(type, id);
    if (!languages) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(view().u32(*languages + 16));
}
