// Fuzzes the format check of the early-build warning together with the
// formatting it allows. A format it accepts must need at most one argument,
// an int, as the C library's own format parser sees it, and expand with any
// build number within wsprintfA's 1024 bytes; the warning's text is then
// cut to its buffer, as start-up does.
//
// Input: four bytes of the build number, then the format, at most 255
// characters as a looked-up text.
#include <printf.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/fuzz_support.h"
#include "core/program_state.h"
#include "core/text.h"
#include "settings/format_check.h"
#include "standin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    ResetProgram();
    int build;
    memcpy(&build, data, sizeof build);
    const std::string format = InputText(data + 4, size - 4, kTextSize - 1);
    std::unique_ptr<char[]> text = ExactText(format);
    if (!IsSingleIntegerFormat(text.get()))
        return 0;

    int types[2] = {};
    size_t needed = parse_printf_format(format.c_str(), 2, types);
    FUZZ_CHECK(needed == 0 || (needed == 1 && types[0] == PA_INT),
               "accepted \"" + format + "\", which needs " + std::to_string(needed) + " argument(s)");
    for (int number : {build, INT_MIN, -1}) {
        int length = snprintf(nullptr, 0, format.c_str(), number);
        FUZZ_CHECK(length >= 0 && length <= 1023, "\"" + format + "\" expands to " + std::to_string(length) + " bytes");
        char formatted[1025];
        wsprintfA(formatted, text.get(), number);
        std::unique_ptr<char[]> warning = GuardedBuffer(kTextSize);
        CopyText(warning.get(), formatted, kTextSize);
        FUZZ_CHECK(HoldsText(warning.get(), kTextSize), "the warning's text has no NUL within its buffer");
    }
    return 0;
}
