// The settings file's code page. Code page 1252 has a table of its own;
// others are converted by the C library's iconv, under the name "CPnnnn".
#include "code_page.h"

#include <cerrno>
#include <iconv.h>
#include <string>

namespace {

// Code page 1252's characters 0x80-0x9F; 0 where it has none.
const unsigned short kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};
const char kReplacement[] = "\xEF\xBF\xBD";

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

std::string IconvName(int codePage)
{
    return "CP" + std::to_string(codePage);
}

// One iconv conversion, closed on every path.
class Converter {
public:
    Converter(const std::string& to, const std::string& from) : handle_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter()
    {
        if (Open())
            iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Open() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of *in as it can into out; returns iconv's errno, 0
    // when all of it was converted.
    int Convert(const char** in, size_t* left, std::string* out)
    {
        char buffer[256];
        while (*left > 0) {
            char* to = buffer;
            size_t room = sizeof buffer;
            char* from = const_cast<char*>(*in);
            size_t result = iconv(handle_, &from, left, &to, &room);
            int error = result == static_cast<size_t>(-1) ? errno : 0;
            *in = from;
            out->append(buffer, static_cast<size_t>(to - buffer));
            if (error != 0 && error != E2BIG)
                return error;
        }
        return 0;
    }

private:
    iconv_t handle_;
};

}  // namespace

bool IsKnownCodePage(int codePage)
{
    return codePage == 1252 || Converter("UTF-8", IconvName(codePage)).Open();
}

void SetAnsiCodePage(int codePage)
{
    ansiCodePage = codePage;
    for (bool& lead : leadBytes)
        lead = false;
    if (codePage == 1252)
        return;
    for (int byte = 0x80; byte < 256; ++byte) {
        // A lead byte alone is an incomplete character to iconv.
        char text = static_cast<char>(byte);
        const char* in = &text;
        size_t left = 1;
        std::string out;
        Converter converter("UTF-8", IconvName(codePage));
        leadBytes[byte] = converter.Convert(&in, &left, &out) == EINVAL;
    }
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
    if (ansiCodePage == 1252)
        return Utf8FromCp1252(text);
    Converter converter("UTF-8", IconvName(ansiCodePage));
    std::string out;
    const char* in = text.data();
    size_t left = text.size();
    while (converter.Convert(&in, &left, &out) != 0) {
        out += kReplacement;
        ++in;
        --left;
    }
    return out;
}

bool AnsiFromUtf8(const std::string& text, std::string* ansi)
{
    Converter converter(IconvName(ansiCodePage), "UTF-8");
    const char* in = text.data();
    size_t left = text.size();
    ansi->clear();
    return converter.Open() && converter.Convert(&in, &left, ansi) == 0;
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
