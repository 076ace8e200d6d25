// A 32-bit PE file read into memory: its headers, sections, import and export
// tables and resources, as far as the binary checks need them.
#pragma once

#include "byte_view.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Indices into the optional header's data directories.
enum DataDirectoryIndex {
    kExportDirectory = 0,
    kImportDirectory = 1,
    kResourceDirectory = 2,
    kTlsDirectory = 9,
    kBoundImportDirectory = 11,
    kDelayImportDirectory = 13,
};

struct DataDirectory {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};

struct PeHeaders {
    std::uint16_t machine = 0;
    std::uint16_t characteristics = 0;
    std::uint16_t optionalMagic = 0;
    std::uint16_t subsystem = 0;
    std::uint16_t subsystemMajor = 0;
    std::uint16_t subsystemMinor = 0;
    std::vector<DataDirectory> directories;
};

struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawOffset = 0;
    std::uint32_t rawSize = 0;
};

struct ExportTable {
    std::uint32_t ordinalBase = 0;
    std::uint32_t nameCount = 0;
    std::vector<std::uint32_t> functionRvas;
};

class PeImage {
public:
    // Reads and parses a file; throws MalformedImage if it is not a PE32 image.
    static PeImage Load(const std::string& path);

    const PeHeaders& headers() const { return headers_; }
    DataDirectory directory(DataDirectoryIndex index) const;

    // Every imported function as "DLL!Name" or "DLL!#ordinal", DLL names in
    // upper case, in table order.
    std::vector<std::string> imports() const;
    // The export directory, or nothing when the image has none.
    std::optional<ExportTable> exports() const;
    // The data of resource type/id in its first language, or nothing.
    std::optional<std::vector<std::uint8_t>> resource(std::uint16_t type, std::uint16_t id) const;
    // That first language's id, or nothing when there is no such resource.
    std::optional<std::uint16_t> resourceLanguage(std::uint16_t type, std::uint16_t id) const;

private:
    explicit PeImage(std::vector<std::uint8_t> bytes);
    void parseHeaders();
    std::size_t offsetOfRva(std::uint32_t rva) const;
    std::vector<std::string> importsOf(std::uint32_t thunkRva, const std::string& dll) const;
    std::optional<std::uint32_t> resourceEntry(std::size_t directoryOffset, std::uint16_t id) const;
    // The offset of the language directory of resource type/id, or nothing.
    std::optional<std::size_t> languagesOf(std::uint16_t type, std::uint16_t id) const;

    // A fresh view each time, so that moving the image never leaves one dangling.
    ByteView view() const { return ByteView(bytes_); }

    std::vector<std::uint8_t> bytes_;
    PeHeaders headers_;
    std::vector<Section> sections_;
};

// Upper-cases ASCII letters, for comparing DLL names as Windows does.
std::string UpperCase(std::string text);
