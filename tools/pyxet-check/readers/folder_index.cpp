// Case-blind lookup of files in a host folder.
#include "readers/folder_index.h"

#include <filesystem>
#include <strings.h>

#include "readers/code_page.h"

namespace fs = std::filesystem;

std::vector<std::string> PathParts(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    const std::string text = path + "\\";
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        // The trail byte of a double-byte character may be a backslash's code.
        if (IsAnsiLeadByte(static_cast<unsigned char>(c)) && i + 2 < text.size()) {
            part += c;
            part += text[++i];
        } else if (c != '\\' && c != '/') {
            part += c;
        } else if (!part.empty()) {
            parts.push_back(part);
            part.clear();
        }
    }
    return parts;
}

// The entry of folder whose name is name without regard to case, as the
// folder spells it; an exact match wins over others that differ only in
// case. The folder is read even when a file of that name opens, because on
// Windows any spelling opens it. The name is in the settings file's code
// page; both are compared in UTF-8, the host's names as the host gives them.
static fs::path FindEntry(const fs::path& folder, const std::string& ansiName)
{
    std::string name = Utf8FromAnsi(ansiName);
    std::error_code error;
    fs::path found;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        fs::path entry = it->path().filename();
        std::string spelled = entry.u8string();
        if (spelled == name)
            return entry;
        if (found.empty() && strcasecmp(spelled.c_str(), name.c_str()) == 0)
            found = entry;
    }
    return found;
}

// The host path the Windows path names, whatever it is; empty when a part is
// missing. Kept a path object, so that Windows finds any name it holds.
fs::path FolderIndex::FindEntryPath(const std::string& relative) const
{
    fs::path path = root_;
    for (const std::string& part : PathParts(relative)) {
        if (part == "." || part == "..") {
            path /= part;
            continue;
        }
        fs::path entry = ::FindEntry(path, part);
        if (entry.empty())
            return "";
        path /= entry;
    }
    return path;
}

std::string FolderIndex::FindFile(const std::string& relative) const
{
    fs::path path = FindEntryPath(relative);
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error) ? path.string() : "";
}

std::string FolderIndex::FindFolder(const std::string& relative) const
{
    fs::path path = FindEntryPath(relative);
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error) ? path.string() : "";
}
