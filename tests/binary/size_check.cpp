// Size budgets: a distributable binary must not grow past its budget, so that
// the program and its probe library stay as small as a floppy-era installer.
#include "checks.h"

#include <filesystem>

std::string CheckSizeBudget(const std::string& path, std::uintmax_t budget, Findings& findings)
{
    const std::uintmax_t size = std::filesystem::file_size(path);
    if (size > budget) {
        findings.add("size is " + std::to_string(size) + " bytes, over its budget of " + std::to_string(budget) +
                     " bytes by " + std::to_string(size - budget));
    }
    return "size " + std::to_string(size) + " bytes (budget " + std::to_string(budget) + ")";
}
