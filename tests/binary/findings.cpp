// Formatting of check findings.
#include "findings.h"

#include <cstdio>

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string Quoted(const std::string& text)
{
    return '"' + text + '"';
}

void Findings::expectBits(const std::string& field, std::uint32_t actual, std::uint32_t expected)
{
    if (actual != expected) {
        add(field + " is " + Hex(actual) + ", expected " + Hex(expected) + " (differs in " +
            Hex(actual ^ expected) + ")");
    }
}
