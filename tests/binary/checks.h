// The binary checks. Each one adds what it finds wrong to a Findings list;
// an empty list means the binary passed.
#pragma once

#include "findings.h"
#include "pe_image.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ImageKind { Program, Library };

// i386, PE32, GUI subsystem 4.0, no TLS, DLL flag set exactly for a library.
void CheckHeaders(const PeImage& image, ImageKind kind, Findings& findings);
// Exactly one exported function, ordinal 1, without a name.
void CheckOrdinalOnlyExport(const PeImage& image, Findings& findings);

// Reads an allow-list of "DLL!function" / "DLL!#ordinal" lines ('#' starts a
// comment line), DLL names upper-cased; faults in the list itself (unsorted,
// duplicate or malformed lines) go to findings.
std::vector<std::string> ReadAllowList(const std::string& path, Findings& findings);
// Imports that are not on the allow-list, and delay-load imports, are faults.
void CheckImportsAllowed(const PeImage& image, const std::vector<std::string>& allowed, Findings& findings);
// The allow-list entries that none of the given import lists uses are faults.
void CheckAllowListUsed(const std::vector<std::string>& allowed, const std::vector<std::string>& imports,
                        Findings& findings);

// Disassembles file with objdump and faults every instruction that a Pentium
// or a K6 lacks (the P6 additions, MMX, SSE).
void CheckInstructions(const std::string& objdump, const std::string& file, Findings& findings);

// Compares RT_DIALOG id with its expected table, field by field.
void CheckDialog(const PeImage& image, std::uint16_t id, Findings& findings);

struct BitmapShape {
    std::int32_t width;
    std::int32_t height;
    std::uint16_t bitsPerPixel;
};

// RT_BITMAP id is an uncompressed bottom-up bitmap of this shape whose data
// is exactly its header, the colour table it declares and its rows.
void CheckBitmap(const PeImage& image, std::uint16_t id, const BitmapShape& shape, Findings& findings);
// RT_GROUP_ICON id holds exactly one square image of this size and depth,
// and the RT_ICON it names is that image.
void CheckIcon(const PeImage& image, std::uint16_t id, const BitmapShape& shape, Findings& findings);

struct ExpectedVersion {
    ImageKind kind;
    std::string version;  // MAJOR.MINOR.PATCH, as VERSION holds it
    std::string description;
    std::string copyright;  // LICENSE's copyright line
};

// RT_VERSION 1 in US English: a well-formed version tree whose fixed part
// and whose one string table (US English, code page 1252) give this
// version, ProductName "Pyxet", this description and copyright, and whose
// Translation value names that table.
void CheckVersion(const PeImage& image, const ExpectedVersion& expected, Findings& findings);

// A file larger than budget bytes is a fault. Returns the size against the
// budget, for the report.
std::string CheckSizeBudget(const std::string& path, std::uintmax_t budget, Findings& findings);
