// Files of a distributable folder found without regard to case, as Windows
// finds them on a CD or a floppy.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class FolderIndex {
public:
    explicit FolderIndex(std::string root) : root_(std::move(root)) {}

    // The host path of a file named by a Windows path relative to the folder
    // (parts separated by backslashes or slashes, "." and ".." allowed, in
    // the settings file's code page), or empty when there is none. Only
    // regular files count.
    std::string FindFile(const std::string& relative) const;
    // The same for a folder; "" or "." names the root.
    std::string FindFolder(const std::string& relative) const;

    const std::string& Root() const { return root_; }

private:
    std::filesystem::path FindEntryPath(const std::string& relative) const;

    std::string root_;
};

// The parts of a Windows path, split at backslashes and slashes; empty parts
// are dropped.
std::vector<std::string> PathParts(const std::string& path);
