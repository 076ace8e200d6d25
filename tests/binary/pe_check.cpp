// pe_check: runs one binary check on Windows binaries and prints what it
// found. Exit status 0 when the binary passes, 1 when the check found faults,
// 2 when the command line or a file could not be used, 77 when "samples"
// found no programs to check (CTest reports that as skipped).
//
//   pe_check headers program|library FILE
//   pe_check exports FILE
//   pe_check imports FILE ALLOW_LIST
//   pe_check instructions FILE OBJDUMP
//   pe_check dialog FILE ID
//   pe_check bitmap FILE ID WIDTH HEIGHT BITS_PER_PIXEL
//   pe_check icon FILE ID SIZE BITS_PER_PIXEL
//   pe_check samples DIR ALLOW_LIST OBJDUMP
//   pe_check size FILE BUDGET_BYTES
//   pe_check version program|library FILE VERSION DESCRIPTION COPYRIGHT
#include "checks.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kPassed = 0;
constexpr int kFaultsFound = 1;
constexpr int kUsageError = 2;
constexpr int kNothingToCheck = 77;

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Arguments = std::vector<std::string>;

void RequireCount(const Arguments& args, std::size_t count)
{
    if (args.size() != count) {
        throw UsageError("expected " + std::to_string(count) + " arguments after the command");
    }
}

std::uint16_t ParseNumber(const std::string& text)
{
    std::size_t used = 0;
    const unsigned long value = std::stoul(text, &used);
    if (used != text.size() || value > 0xFFFF) {
        throw UsageError("not a 16-bit number: " + text);
    }
    return static_cast<std::uint16_t>(value);
}

std::uintmax_t ParseByteCount(const std::string& text)
{
    std::size_t used = 0;
    const unsigned long long value = std::stoull(text, &used);
    if (used != text.size()) {
        throw UsageError("not a byte count: " + text);
    }
    return value;
}

ImageKind ParseKind(const std::string& text)
{
    if (text == "program") {
        return ImageKind::Program;
    }
    if (text == "library") {
        return ImageKind::Library;
    }
    throw UsageError("kind must be program or library, not " + text);
}

int Report(const std::string& subject, const std::string& check, const Findings& findings)
{
    for (const std::string& fault : findings.faults()) {
        std::cout << subject << ": " << fault << "\n";
    }
    if (findings.empty()) {
        std::cout << subject << ": " << check << " ok\n";
        return kPassed;
    }
    return kFaultsFound;
}

// The programs a samples folder holds, found at test time so that samples
// added later are checked without reconfiguring.
std::vector<std::string> FindPrograms(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> programs;
    if (!fs::is_directory(folder)) {
        return programs;
    }
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) {
        if (it->is_directory() && it->path().filename() == "CMakeFiles") {
            it.disable_recursion_pending();
        } else if (it->is_regular_file() && UpperCase(it->path().extension().string()) == ".EXE") {
            programs.push_back(it->path().string());
        }
    }
    std::sort(programs.begin(), programs.end());
    return programs;
}

// Headers, imports and instructions of every sample program; together the
// samples must use every entry of their shared allow-list.
int CheckSamples(const Arguments& args)
{
    RequireCount(args, 3);
    const std::vector<std::string> programs = FindPrograms(args[0]);
    if (programs.empty()) {
        std::cout << args[0] << ": no sample programs to check\n";
        return kNothingToCheck;
    }
    Findings listFindings;
    const std::vector<std::string> allowed = ReadAllowList(args[1], listFindings);
    std::vector<std::string> allImports;
    int result = kPassed;
    for (const std::string& program : programs) {
        const PeImage image = PeImage::Load(program);
        Findings findings;
        CheckHeaders(image, ImageKind::Program, findings);
        CheckImportsAllowed(image, allowed, findings);
        CheckInstructions(args[2], program, findings);
        result = std::max(result, Report(program, "headers, imports and instructions", findings));
        const std::vector<std::string> imports = image.imports();
        allImports.insert(allImports.end(), imports.begin(), imports.end());
    }
    CheckAllowListUsed(allowed, allImports, listFindings);
    return std::max(result, Report(args[1], "allow-list", listFindings));
}

int RunCheck(const std::string& command, const Arguments& args)
{
    Findings findings;
    if (command == "headers") {
        RequireCount(args, 2);
        CheckHeaders(PeImage::Load(args[1]), ParseKind(args[0]), findings);
        return Report(args[1], command, findings);
    }
    if (command == "exports") {
        RequireCount(args, 1);
        CheckOrdinalOnlyExport(PeImage::Load(args[0]), findings);
        return Report(args[0], command, findings);
    }
    if (command == "imports") {
        RequireCount(args, 2);
        const PeImage image = PeImage::Load(args[0]);
        const std::vector<std::string> allowed = ReadAllowList(args[1], findings);
        CheckImportsAllowed(image, allowed, findings);
        CheckAllowListUsed(allowed, image.imports(), findings);
        return Report(args[0], command, findings);
    }
    if (command == "instructions") {
        RequireCount(args, 2);
        CheckInstructions(args[1], args[0], findings);
        return Report(args[0], command, findings);
    }
    if (command == "dialog") {
        RequireCount(args, 2);
        CheckDialog(PeImage::Load(args[0]), ParseNumber(args[1]), findings);
        return Report(args[0], command + " " + args[1], findings);
    }
    if (command == "bitmap") {
        RequireCount(args, 5);
        const BitmapShape shape{ParseNumber(args[2]), ParseNumber(args[3]), ParseNumber(args[4])};
        CheckBitmap(PeImage::Load(args[0]), ParseNumber(args[1]), shape, findings);
        return Report(args[0], command + " " + args[1], findings);
    }
    if (command == "icon") {
        RequireCount(args, 4);
        const BitmapShape shape{ParseNumber(args[2]), ParseNumber(args[2]), ParseNumber(args[3])};
        CheckIcon(PeImage::Load(args[0]), ParseNumber(args[1]), shape, findings);
        return Report(args[0], command + " " + args[1], findings);
    }
    if (command == "version") {
        RequireCount(args, 5);
        CheckVersion(PeImage::Load(args[1]), {ParseKind(args[0]), args[2], args[3], args[4]}, findings);
        return Report(args[1], command + " " + args[2], findings);
    }
    if (command == "samples") {
        return CheckSamples(args);
    }
    if (command == "size") {
        RequireCount(args, 2);
        const std::string summary = CheckSizeBudget(args[0], ParseByteCount(args[1]), findings);
        return Report(args[0], summary, findings);
    }
    throw UsageError("unknown command " + command);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: pe_check COMMAND ARGUMENTS... (see pe_check.cpp)\n";
        return kUsageError;
    }
    try {
        return RunCheck(argv[1], Arguments(argv + 2, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "pe_check " << argv[1] << ": " << error.what() << "\n";
        return kUsageError;
    }
}
