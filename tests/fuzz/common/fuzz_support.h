// What every fuzz target shares: a check that stops the run with the broken
// invariant, exact-size copies of the input that the sanitizer guards, and a
// fresh program state and stand-in for each input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Aborts with what broke; libFuzzer then saves the input as a crash.
#define FUZZ_CHECK(condition, what)                                      \
    do {                                                                 \
        if (!(condition))                                                \
            FuzzCheckFailed(__FILE__, __LINE__, #condition, (what));     \
    } while (0)

[[noreturn]] void FuzzCheckFailed(const char* file, int line, const char* condition,
                                  const std::string& what);

// The input as a NUL-terminated text in a heap block of exactly its length
// plus one, so that reading past the NUL is caught. The text ends at the
// first NUL of the input and is at most limit bytes long.
std::unique_ptr<char[]> ExactText(const std::string& text);
std::string InputText(const uint8_t* data, size_t size, size_t limit);

// A heap block of exactly size bytes, filled with a byte that no check expects.
std::unique_ptr<char[]> GuardedBuffer(size_t size);
// Nonzero when buffer holds a NUL within its size bytes.
bool HoldsText(const char* buffer, size_t size);

// Resets the program state, the driver table and the stand-in to their
// start values; the stand-in then knows Shift-JIS lead bytes when asked to.
void ResetProgram(bool shiftJisLeadBytes = false);

// The Shift-JIS lead-byte rule of the stand-in, for the targets' own walks.
bool IsLeadByte(char c);
// Index just past the character that starts at index i of text.
size_t NextCharacter(const std::string& text, size_t i);
