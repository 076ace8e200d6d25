// UTF-16 text, as Windows editors and REGEDIT 5 save it, read as bytes.
#pragma once

#include <cstddef>
#include <string>

// The text of UTF-16 data (no byte-order mark) as bytes: characters below 256
// as themselves, others as '?'.
std::string BytesFromUtf16(const unsigned char* data, size_t size, bool bigEndian);
