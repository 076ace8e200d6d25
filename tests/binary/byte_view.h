// Little-endian reads from a loaded file, each one checked against the end of
// the bytes, so a truncated or corrupt image stops with an error, not a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Thrown when an image or resource is too short or points outside itself.
class MalformedImage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ByteView {
public:
    explicit ByteView(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    std::uint8_t u8(std::size_t offset) const;
    std::uint16_t u16(std::size_t offset) const;
    std::int16_t i16(std::size_t offset) const { return static_cast<std::int16_t>(u16(offset)); }
    std::uint32_t u32(std::size_t offset) const;
    // An 8-bit NUL-terminated string.
    std::string cString(std::size_t offset) const;
    // A NUL-terminated UTF-16 string; advances offset past its terminator.
    // Characters outside ASCII come back as \uXXXX so they show in reports.
    std::string wideString(std::size_t& offset) const;
    std::vector<std::uint8_t> slice(std::size_t offset, std::size_t length) const;

private:
    void require(std::size_t offset, std::size_t length) const;

    const std::vector<std::uint8_t>& bytes_;
};
