// Fuzzes the command-line tail scanner, with and without the stand-in's
// Shift-JIS lead bytes. The tail must lie inside the command line, after
// the whole program name and every blank that follows it.
//
// Input: one mode byte (odd: lead bytes on), then the command line.
#include <string>

#include "common/fuzz_support.h"
#include "core/command_line.h"
#include "standin.h"

namespace {

bool IsBlank(char c)
{
    unsigned char code = static_cast<unsigned char>(c);
    return code >= 0x01 && code <= 0x20;
}

// Where the program name ends: a quoted name at its closing quote (the
// quote included) or at the end; a lead byte's trail byte is never a quote.
size_t NameEnd(const std::string& line)
{
    if (line.empty() || line[0] != '"') {
        size_t end = 0;
        while (end < line.size() && static_cast<unsigned char>(line[end]) > 0x20)
            ++end;
        return end;
    }
    for (size_t i = 1; i < line.size(); i = NextCharacter(line, i)) {
        if (line[i] == '"')
            return i + 1;
    }
    return line.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    ResetProgram((data[0] & 1) != 0);
    const std::string line = InputText(data + 1, size - 1, size);
    std::unique_ptr<char[]> text = ExactText(line);

    const char* tail = CommandLineTail(text.get());
    FUZZ_CHECK(tail >= text.get() && tail <= text.get() + line.size(), "the tail lies outside the command line");
    size_t start = static_cast<size_t>(tail - text.get());
    size_t expected = NameEnd(line);
    while (expected < line.size() && IsBlank(line[expected]))
        ++expected;
    FUZZ_CHECK(start == expected, "the tail starts at " + std::to_string(start) + ", expected " +
                                      std::to_string(expected) + " in \"" + line + "\"");
    return 0;
}
