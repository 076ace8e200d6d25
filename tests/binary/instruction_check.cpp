// Instruction check: the program must run on the 486-class and Socket 7 CPUs
// of Windows 95 machines (Pentium, K6-2, K6-III, Cyrix), which lack the
// Pentium Pro additions and, mostly, MMX and SSE. objdump disassembles the
// code sections; every instruction outside that set is a fault.
#include "checks.h"

#include <array>
#include <cstdio>
#include <sstream>

namespace {

// Mnemonic families added with the Pentium Pro: conditional moves.
const std::array<const char*, 2> kForbiddenPrefixes = {"cmov", "fcmov"};

const std::array<const char*, 24> kForbiddenMnemonics = {
    // Pentium Pro and later: flag-setting FPU compares, fast system calls,
    // the 0F 1F long NOP that the assembler uses for padding on i686.
    "fcomi", "fcomip", "fcompi", "fucomi", "fucomip", "fucompi", "sysenter", "sysexit", "nopl", "nopw",
    // MMX, FXSR and SSE instructions that name no MMX or XMM register.
    "emms", "fxsave", "fxrstor", "ldmxcsr", "stmxcsr", "sfence", "lfence", "mfence", "movnti", "clflush",
    "prefetchnta", "prefetcht0", "prefetcht1", "prefetcht2"};

// Any use of an MMX or SSE (or later vector) register.
const std::array<const char*, 4> kForbiddenRegisters = {"%mm", "%xmm", "%ymm", "%zmm"};

// Prefixes that objdump prints before the mnemonic.
const std::array<const char*, 17> kInstructionPrefixes = {
    "rep", "repz", "repnz", "repe", "repne", "lock", "data16", "data32", "addr16", "addr32",
    "cs", "ds", "es", "fs", "gs", "ss", "notrack"};

template <std::size_t N>
bool IsOneOf(const std::string& word, const std::array<const char*, N>& words)
{
    for (const char* candidate : words) {
        if (word == candidate) {
            return true;
        }
    }
    return false;
}

std::string Mnemonic(const std::string& instruction)
{
    std::istringstream words(instruction);
    std::string word;
    while (words >> word && IsOneOf(word, kInstructionPrefixes)) {
    }
    return word;
}

bool IsForbidden(const std::string& instruction)
{
    const std::string mnemonic = Mnemonic(instruction);
    for (const char* prefix : kForbiddenPrefixes) {
        if (mnemonic.compare(0, std::char_traits<char>::length(prefix), prefix) == 0) {
            return true;
        }
    }
    if (IsOneOf(mnemonic, kForbiddenMnemonics)) {
        return true;
    }
    for (const char* reg : kForbiddenRegisters) {
        if (instruction.find(reg) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

void CheckInstructions(const std::string& objdump, const std::string& file, Findings& findings)
{
    const std::string command = ShellQuoted(objdump) + " -d --no-show-raw-insn " + ShellQuoted(file);
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        throw MalformedImage("cannot run " + command);
    }
    // Instruction lines read "  401000:\tpush   %ebp".
    std::size_t instructionCount = 0;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        const std::string text(line);
        const std::size_t colonTab = text.find(":\t");
        if (colonTab == std::string::npos) {
            continue;
        }
        ++instructionCount;
        const std::string instruction = text.substr(colonTab + 2, text.find_last_not_of("\r\n") - colonTab - 1);
        if (IsForbidden(instruction)) {
            const std::size_t address = text.find_first_not_of(' ');
            findings.add("i686-only instruction at " + text.substr(address, colonTab - address) + ": " + instruction);
        }
    }
    const int status = pclose(pipe);
    if (status != 0) {
        throw MalformedImage(command + " failed with status " + std::to_string(status));
    }
    // An empty disassembly would pass every file; treat it as a fault.
    if (instructionCount == 0) {
        findings.add("objdump disassembled no instructions");
    }
}
