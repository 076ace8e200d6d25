// Bitmap and icon checks: the logo must be a plain DIB that Windows 95 can
// load, and the program icon a single classic (not PNG) image.
#include "checks.h"

#include "win32_constants.h"

#include <cstdlib>

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER, not V4 or V5
constexpr std::uint32_t kPngSignature = 0x474E5089;  // "\x89PNG"
constexpr std::size_t kGroupEntryOffset = 6;

struct InfoHeader {
    std::uint32_t size;
    std::int32_t width;
    std::int32_t height;
    std::uint16_t planes;
    std::uint16_t bitsPerPixel;
    std::uint32_t compression;
    std::uint32_t coloursUsed;
};

InfoHeader ReadInfoHeader(const ByteView& view)
{
    return {view.u32(0),  static_cast<std::int32_t>(view.u32(4)), static_cast<std::int32_t>(view.u32(8)),
            view.u16(12), view.u16(14), view.u32(16), view.u32(32)};
}

// biClrUsed 0 means the full table for the depth (none above 8 bits).
std::size_t ColourTableEntries(const InfoHeader& header)
{
    if (header.coloursUsed != 0) {
        return header.coloursUsed;
    }
    return header.bitsPerPixel <= 8 ? std::size_t{1} << header.bitsPerPixel : 0;
}

// Bytes a DIB needs after its header: colour table, then rows padded to 4 bytes.
std::size_t DibBodySize(const InfoHeader& header)
{
    const std::size_t stride = (static_cast<std::size_t>(header.width) * header.bitsPerPixel + 31) / 32 * 4;
    return ColourTableEntries(header) * 4 + stride * static_cast<std::size_t>(std::abs(header.height));
}

void CheckInfoHeader(const InfoHeader& header, const BitmapShape& shape, const std::string& what,
                     Findings& findings)
{
    findings.expectEqual(what + " header size", header.size, kInfoHeaderSize);
    findings.expectEqual(what + " width", header.width, shape.width);
    findings.expectEqual(what + " height", header.height, shape.height);
    findings.expectEqual(what + " planes", header.planes, std::uint16_t{1});
    findings.expectEqual(what + " bits per pixel", header.bitsPerPixel, shape.bitsPerPixel);
    findings.expectEqual(what + " compression", header.compression, BI_RGB);
}

}  // namespace

void CheckBitmap(const PeImage& image, std::uint16_t id, const BitmapShape& shape, Findings& findings)
{
    const std::optional<std::vector<std::uint8_t>> bitmap = image.resource(RT_BITMAP, id);
    if (!bitmap) {
        findings.add("has no RT_BITMAP " + std::to_string(id));
        return;
    }
    const ByteView view(*bitmap);
    const InfoHeader header = ReadInfoHeader(view);
    CheckInfoHeader(header, shape, "bitmap", findings);
    if (!findings.empty()) {
        return;  // the size follows from a header that is already wrong
    }
    // A packed DIB has no offset to its pixels: they start right after the
    // colour table the header declares. Data longer than the header says
    // means a bigger table than declared, and Windows would draw part of the
    // table as pixels; shorter data runs out before the last row.
    const std::size_t described = header.size + DibBodySize(header);
    if (view.size() != described) {
        findings.add("bitmap data is " + std::to_string(view.size()) + " bytes, but its header describes " +
                     std::to_string(described) + " with a colour table of " +
                     std::to_string(ColourTableEntries(header)));
    }
}

void CheckIcon(const PeImage& image, std::uint16_t id, const BitmapShape& shape, Findings& findings)
{
    const std::optional<std::vector<std::uint8_t>> group = image.resource(RT_GROUP_ICON, id);
    if (!group) {
        findings.add("has no RT_GROUP_ICON " + std::to_string(id));
        return;
    }
    const ByteView directory(*group);
    findings.expectEqual("icon group type", directory.u16(2), std::uint16_t{1});
    findings.expectEqual("icon group image count", directory.u16(4), std::uint16_t{1});
    if (directory.u16(4) == 0) {
        return;
    }
    // GRPICONDIRENTRY: width, height, colour count (bytes), reserved, planes,
    // bit count, bytes in resource, RT_ICON id.
    const std::size_t entry = kGroupEntryOffset;
    const unsigned colourCount = shape.bitsPerPixel < 8 ? 1u << shape.bitsPerPixel : 0;
    findings.expectEqual("icon group width", unsigned{directory.u8(entry)}, static_cast<unsigned>(shape.width));
    findings.expectEqual("icon group height", unsigned{directory.u8(entry + 1)}, static_cast<unsigned>(shape.height));
    findings.expectEqual("icon group colour count", unsigned{directory.u8(entry + 2)}, colourCount);
    findings.expectEqual("icon group bits per pixel", directory.u16(entry + 6), shape.bitsPerPixel);
    const std::uint32_t imageSize = directory.u32(entry + 8);
    const std::uint16_t iconId = directory.u16(entry + 12);

    const std::optional<std::vector<std::uint8_t>> icon = image.resource(RT_ICON, iconId);
    if (!icon) {
        findings.add("icon group names RT_ICON " + std::to_string(iconId) + ", which does not exist");
        return;
    }
    const ByteView view(*icon);
    findings.expectEqual("RT_ICON size", static_cast<std::uint32_t>(view.size()), imageSize);
    if (view.u32(0) == kPngSignature) {
        findings.add("RT_ICON " + std::to_string(iconId) + " is a PNG image, which Windows 95 cannot draw");
        return;
    }
    // An icon image's height counts the colour rows and the mask rows.
    CheckInfoHeader(ReadInfoHeader(view), {shape.width, 2 * shape.height, shape.bitsPerPixel}, "icon image",
                    findings);
}
