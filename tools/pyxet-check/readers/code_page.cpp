// The settings file's code page. Code page 1252 has a table of its own;
// others are converted by the host (host.h).
#include "readers/code_page.h"

#include <string>

#include "host/host.h"

namespace {

// Code page 1252's characters 0x80-0x9F; 0 where it has none.
const unsigned short kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

int ansiCodePage = 1252;
bool leadBytes[256];

void AppendUtf8(std::string* out, unsigned code)
{
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

bool IsKnownCodePage(int codePage)
{
    return codePage == 1252 || HostKnowsCodePage(codePage);
}

void SetAnsiCodePage(int codePage)
{
    ansiCodePage = codePage;
    for (int byte = 0; byte < 256; ++byte)
        leadBytes[byte] = codePage != 1252 && HostIsLeadByte(codePage, static_cast<unsigned char>(byte));
}

int AnsiCodePage()
{
    return ansiCodePage;
}

std::string Utf8FromCp1252(const std::string& text)
{
    std::string out;
    for (char c : text) {
        unsigned char code = static_cast<unsigned char>(c);
        if (code >= 0x80 && code < 0xA0)
            AppendUtf8(&out, kCp1252High[code - 0x80] != 0 ? kCp1252High[code - 0x80] : 0xFFFD);
        else
            AppendUtf8(&out, code);
    }
    return out;
}

std::string Cp1252FromUtf8(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        unsigned code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (size_t k = 1; k < length && i + k < text.size(); ++k)
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += length;
        if (length == 1 && lead >= 0x80) {
            out += '?';
            continue;
        }
        char byte = '?';
        if (code < 0x80 || (code >= 0xA0 && code < 0x100))
            byte = static_cast<char>(code);
        for (int high = 0; high < 32; ++high) {
            if (kCp1252High[high] != 0 && kCp1252High[high] == code)
                byte = static_cast<char>(0x80 + high);
        }
        out += byte;
    }
    return out;
}

std::string Utf8FromAnsi(const std::string& text)
{
    return ansiCodePage == 1252 ? Utf8FromCp1252(text) : HostUtf8FromCodePage(ansiCodePage, text);
}

bool AnsiFromUtf8(const std::string& text, std::string* ansi)
{
    *ansi = ansiCodePage == 1252 ? Cp1252FromUtf8(text) : HostCodePageFromUtf8(ansiCodePage, text);
    // Held whole when it reads back as it was written.
    return Utf8FromAnsi(*ansi) == text;
}

std::string AnsiFromHost(const std::string& name)
{
    std::string ansi;
    AnsiFromUtf8(name, &ansi);
    return ansi;
}

bool IsUtf8BeyondAscii(const std::string& text)
{
    bool beyondAscii = false;
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t j = 1; j < length; ++j) {
            if ((static_cast<unsigned char>(text[i + j]) & 0xC0) != 0x80)
                return false;
        }
        beyondAscii |= length > 1;
        i += length;
    }
    return beyondAscii;
}

bool IsAnsiLeadByte(unsigned char byte)
{
    return leadBytes[byte];
}
