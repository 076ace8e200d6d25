// Bounds-checked little-endian reads for the PE and resource parsers.
#include "byte_view.h"

#include <cstdio>

void ByteView::require(std::size_t offset, std::size_t length) const
{
    if (offset > bytes_.size() || length > bytes_.size() - offset) {
        throw MalformedImage("read of " + std::to_string(length) + " bytes at offset " +
                             std::to_string(offset) + " runs past the end (" +
                             std::to_string(bytes_.size()) + " bytes)");
    }
}

std::uint8_t ByteView::u8(std::size_t offset) const
{
    require(offset, 1);
    return bytes_[offset];
}

std::uint16_t ByteView::u16(std::size_t offset) const
{
    require(offset, 2);
    return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
}

std::uint32_t ByteView::u32(std::size_t offset) const
{
    return u16(offset) | static_cast<std::uint32_t>(u16(offset + 2)) << 16;
}

std::string ByteView::cString(std::size_t offset) const
{
    std::string text;
    for (std::uint8_t c = u8(offset); c != 0; c = u8(++offset)) {
        text += static_cast<char>(c);
    }
    return text;
}

std::string ByteView::wideString(std::size_t& offset) const
{
    std::string text;
    for (std::uint16_t c = u16(offset); c != 0; c = u16(offset)) {
        offset += 2;
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", c);
            text += escape;
        }
    }
    offset += 2;
    return text;
}

std::vector<std::uint8_t> ByteView::slice(std::size_t offset, std::size_t length) const
{
    require(offset, length);
    return std::vector<std::uint8_t>(bytes_.begin() + offset, bytes_.begin() + offset + length);
}
