// Import allow-lists: every function a binary imports must be on its list,
// which holds only functions that Windows 95 RTM exports. A new import fails
// here until someone has checked it and added it to the list by hand.
#include "checks.h"

#include <algorithm>
#include <fstream>

namespace {

// "kernel32.dll!GetVersionExA" -> "KERNEL32.DLL!GetVersionExA": DLL names
// compare without case, function names with it.
std::string NormalizeEntry(const std::string& line)
{
    const std::size_t bang = line.find('!');
    return UpperCase(line.substr(0, bang)) + line.substr(bang);
}

bool Contains(const std::vector<std::string>& list, const std::string& entry)
{
    return std::find(list.begin(), list.end(), entry) != list.end();
}

}  // namespace

std::vector<std::string> ReadAllowList(const std::string& path, Findings& findings)
{
    std::ifstream file(path);
    if (!file) {
        throw MalformedImage("cannot open allow-list " + path);
    }
    std::vector<std::string> entries;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::string where = path + " line " + std::to_string(number);
        const std::size_t bang = line.find('!');
        if (bang == 0 || bang == std::string::npos || bang + 1 == line.size()) {
            findings.add(where + " is not DLL!function or DLL!#ordinal: " + Quoted(line));
            continue;
        }
        const std::string entry = NormalizeEntry(line);
        if (!entries.empty() && entry <= entries.back()) {
            findings.add(where + " is " + (entry == entries.back() ? "a duplicate" : "out of order") + ": " +
                         Quoted(line));
        }
        entries.push_back(entry);
    }
    return entries;
}

void CheckImportsAllowed(const PeImage& image, const std::vector<std::string>& allowed, Findings& findings)
{
    for (const std::string& import : image.imports()) {
        if (!Contains(allowed, import)) {
            findings.add("imports " + import + ", which is not on the allow-list");
        }
    }
    if (image.directory(kDelayImportDirectory).rva != 0) {
        findings.add("has delay-load imports, which the allow-list does not cover");
    }
}

void CheckAllowListUsed(const std::vector<std::string>& allowed, const std::vector<std::string>& imports,
                        Findings& findings)
{
    for (const std::string& entry : allowed) {
        if (!Contains(imports, entry)) {
            findings.add("allow-list entry " + entry + " is no longer imported; remove it");
        }
    }
}
