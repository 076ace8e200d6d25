#include "fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/program_state.h"
#include "settings/driver_table.h"
#include "standin.h"

static const ProgramStateRecord kInitialState = ProgramState;
static const DriverTableRecord kInitialTable = DriverTable;

void FuzzCheckFailed(const char* file, int line, const char* condition, const std::string& what)
{
    fprintf(stderr, "%s:%d: invariant broken: %s\n  %s\n", file, line, condition, what.c_str());
    abort();
}

std::string InputText(const uint8_t* data, size_t size, size_t limit)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(std::min(strnlen(text.c_str(), size), limit));
    return text;
}

std::unique_ptr<char[]> ExactText(const std::string& text)
{
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

std::unique_ptr<char[]> GuardedBuffer(size_t size)
{
    std::unique_ptr<char[]> buffer(new char[size]);
    memset(buffer.get(), 0x7E, size);
    return buffer;
}

bool HoldsText(const char* buffer, size_t size)
{
    return memchr(buffer, '\0', size) != nullptr;
}

void ResetProgram(bool shiftJisLeadBytes)
{
    ProgramState = kInitialState;
    DriverTable = kInitialTable;
    ResetStandIn();
    Win.ShiftJisLeadBytes = shiftJisLeadBytes;
}

bool IsLeadByte(char c)
{
    return IsDBCSLeadByte(static_cast<BYTE>(c)) != 0;
}

size_t NextCharacter(const std::string& text, size_t i)
{
    return IsLeadByte(text[i]) && i + 1 < text.size() ? i + 2 : i + 1;
}
