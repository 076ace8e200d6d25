// A dialog template as the dialog manager reads it from an RT_DIALOG
// resource: the header, the font and every control in order.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// A template field that is either absent, a 16-bit ordinal or a text.
struct NameOrOrdinal {
    enum class Kind { None, Ordinal, Text };

    static NameOrOrdinal None() { return {Kind::None, 0, {}}; }
    static NameOrOrdinal Ordinal(std::uint16_t value) { return {Kind::Ordinal, value, {}}; }
    static NameOrOrdinal Text(std::string text) { return {Kind::Text, 0, std::move(text)}; }

    Kind kind;
    std::uint16_t ordinal;
    std::string text;
};

bool operator==(const NameOrOrdinal& a, const NameOrOrdinal& b);
std::ostream& operator<<(std::ostream& out, const NameOrOrdinal& value);

struct DialogRect {
    std::int16_t x, y, cx, cy;
};

bool operator==(const DialogRect& a, const DialogRect& b);
std::ostream& operator<<(std::ostream& out, const DialogRect& rect);

struct DialogControl {
    std::uint32_t style = 0;
    std::uint32_t extendedStyle = 0;
    DialogRect rect{};
    std::uint16_t id = 0;
    NameOrOrdinal windowClass = NameOrOrdinal::None();
    NameOrOrdinal title = NameOrOrdinal::None();
    std::uint16_t creationDataSize = 0;
};

struct DialogTemplate {
    bool extended = false;  // DIALOGEX form; nothing else is read then
    std::uint32_t style = 0;
    std::uint32_t extendedStyle = 0;
    std::uint16_t controlCount = 0;
    DialogRect rect{};
    NameOrOrdinal menu = NameOrOrdinal::None();
    NameOrOrdinal windowClass = NameOrOrdinal::None();
    std::string caption;
    bool hasFont = false;
    std::uint16_t pointSize = 0;
    std::string face;
    std::vector<DialogControl> controls;
};

// Parses the bytes of an RT_DIALOG resource; throws MalformedImage if short.
DialogTemplate ParseDialogTemplate(const std::vector<std::uint8_t>& resource);
