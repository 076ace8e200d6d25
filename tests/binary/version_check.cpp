// Version resource check: Explorer's Properties on Windows 95, 98 and ME
// show the version of PYXET.EXE and ENUM.DLL from RT_VERSION 1, through
// VerQueryValue. It must be a well-formed tree in US English whose fixed
// part and whose one string table (US English, code page 1252, the table
// those Windows look for first) give the same version, with the texts
// Explorer shows, and a Translation value that names that table.
#include "checks.h"

#include "version_block.h"
#include "win32_constants.h"

#include <cstdio>
#include <ostream>
#include <stdexcept>

namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedStructVersion = 0x00010000;
constexpr std::size_t kFixedInfoSize = 52;  // VS_FIXEDFILEINFO
constexpr std::uint16_t kEnglishUs = 0x0409;
constexpr std::uint16_t kCodePage1252 = 1252;
const char* const kStringTable = "040904E4";  // kEnglishUs and kCodePage1252 in hexadecimal
const char* const kProductName = "Pyxet";

// "1.0.0" as the fixed part holds it: two 32-bit halves of four 16-bit numbers.
struct FourPartVersion {
    std::uint32_t high = 0;
    std::uint32_t low = 0;
};

bool operator==(const FourPartVersion& a, const FourPartVersion& b)
{
    return a.high == b.high && a.low == b.low;
}

std::ostream& operator<<(std::ostream& out, const FourPartVersion& v)
{
    return out << (v.high >> 16) << '.' << (v.high & 0xFFFF) << '.' << (v.low >> 16) << '.' << (v.low & 0xFFFF);
}

FourPartVersion ParseVersionText(const std::string& text)
{
    unsigned major = 0, minor = 0, patch = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%u.%u.%u%c", &major, &minor, &patch, &end) != 3 || major > 0xFFFF ||
        minor > 0xFFFF || patch > 0xFFFF) {
        throw std::invalid_argument("not a version MAJOR.MINOR.PATCH: " + text);
    }
    return {major << 16 | minor, patch << 16};
}

void CheckFixedInfo(const VersionBlock& root, const ExpectedVersion& expected, Findings& findings)
{
    findings.expectEqual("root key", Quoted(root.key), Quoted("VS_VERSION_INFO"));
    if (root.value.size() != kFixedInfoSize) {
        findings.add("fixed part is " + std::to_string(root.value.size()) + " bytes, expected " +
                     std::to_string(kFixedInfoSize));
        return;
    }
    const ByteView fixed(root.value);
    findings.expectBits("fixed part signature", fixed.u32(0), kFixedSignature);
    findings.expectBits("fixed part structure version", fixed.u32(4), kFixedStructVersion);
    const FourPartVersion version = ParseVersionText(expected.version);
    findings.expectEqual("fixed file version", FourPartVersion{fixed.u32(8), fixed.u32(12)}, version);
    findings.expectEqual("fixed product version", FourPartVersion{fixed.u32(16), fixed.u32(20)}, version);
    findings.expectBits("file flags", fixed.u32(28) & fixed.u32(24), 0);
    findings.expectBits("file OS", fixed.u32(32), VOS__WINDOWS32);
    findings.expectEqual("file type", fixed.u32(36), expected.kind == ImageKind::Program ? VFT_APP : VFT_DLL);
}

void CheckStrings(const VersionBlock& root, const ExpectedVersion& expected, Findings& findings)
{
    const VersionBlock* info = FindChild(root, "StringFileInfo");
    if (info == nullptr) {
        findings.add("has no StringFileInfo block");
        return;
    }
    std::string tables;
    for (const VersionBlock& table : info->children) {
        tables += (tables.empty() ? "" : ", ") + table.key;
    }
    findings.expectEqual("string tables", tables, std::string(kStringTable));
    const VersionBlock* table = FindChild(*info, kStringTable);
    if (table == nullptr) {
        return;
    }
    const struct {
        const char* key;
        std::string text;
    } kExpected[] = {
        {"FileDescription", expected.description},
        {"FileVersion", expected.version},
        {"LegalCopyright", expected.copyright},
        {"ProductName", kProductName},
        {"ProductVersion", expected.version},
    };
    for (const auto& string : kExpected) {
        const VersionBlock* found = FindChild(*table, string.key);
        if (found == nullptr || !found->isText) {
            findings.add(std::string("has no text ") + string.key);
        } else {
            findings.expectEqual(string.key, Quoted(found->text), Quoted(string.text));
        }
    }
}

void CheckTranslation(const VersionBlock& root, Findings& findings)
{
    const VersionBlock* info = FindChild(root, "VarFileInfo");
    const VersionBlock* translation = info ? FindChild(*info, "Translation") : nullptr;
    if (translation == nullptr) {
        findings.add("has no VarFileInfo\\Translation value");
        return;
    }
    // One pair of 16-bit numbers: the language, then the code page.
    if (translation->value.size() != 4) {
        findings.add("Translation holds " + std::to_string(translation->value.size()) +
                     " bytes, expected one language and code page (4)");
        return;
    }
    const ByteView pair(translation->value);
    findings.expectEqual("Translation language", Hex(pair.u16(0)), Hex(kEnglishUs));
    findings.expectEqual("Translation code page", pair.u16(2), kCodePage1252);
}

}  // namespace

void CheckVersion(const PeImage& image, const ExpectedVersion& expected, Findings& findings)
{
    const std::optional<std::vector<std::uint8_t>> resource = image.resource(RT_VERSION, 1);
    if (!resource) {
        findings.add("has no RT_VERSION 1");
        return;
    }
    findings.expectEqual("version resource language", Hex(*image.resourceLanguage(RT_VERSION, 1)), Hex(kEnglishUs));
    VersionBlock root;
    try {
        root = ParseVersionBlock(*resource);
    } catch (const MalformedImage& error) {
        findings.add(std::string("version resource is malformed: ") + error.what());
        return;
    }
    CheckFixedInfo(root, expected, findings);
    CheckStrings(root, expected, findings);
    CheckTranslation(root, findings);
}
