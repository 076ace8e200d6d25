// UTF-16 text read as bytes, for the INF reader and the board readers.
#include "readers/utf16.h"

std::string BytesFromUtf16(const unsigned char* data, size_t size, bool bigEndian)
{
    std::string text;
    text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) {
        unsigned unit = bigEndian ? (data[i] << 8 | data[i + 1]) : (data[i + 1] << 8 | data[i]);
        text.push_back(unit < 256 ? static_cast<char>(unit) : '?');
    }
    return text;
}
