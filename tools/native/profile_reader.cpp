// The profile reader. It follows Wine's reader:
// - A line ends at a CR or an LF. Blanks (tab to CR, space, and the ^Z of
//   old DOS files) around a line are dropped; blank lines are skipped.
// - A line that starts with '[' and holds a ']' names a section: the text up
//   to the last ']', without its blanks. A '[' without ']' is an ordinary line.
// - Any other line is "name=value" (blanks around the name and before the
//   value dropped), or a bare name. Comment lines, with ';' or '#', are not
//   treated apart: they are names that nobody asks for. There are no comments
//   after a value.
// - Lines before the first section belong to a section without a name.
// - A lookup drops the blanks around the names it is given and compares them
//   without regard to case. Only the first section of a name is searched, and
//   the first line with the key's name decides; a bare name gives the default.
// - The value, or the default (less its trailing spaces, though never its
//   first character), loses one pair of enclosing quotes and is cut to the
//   buffer; see CopyProfileText for how the two interact.
// Where Windows itself differs on these finer points is not known here; the
// differential test checks this reader against Wine.
#include "profile_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <strings.h>

DWORD CopyCut(std::string_view text, LPSTR buffer, DWORD size)
{
    if (size == 0)
        return 0;
    size_t length = std::min<size_t>(text.size(), size - 1);
    memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

static bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

static bool IsProfileBlank(char c)
{
    unsigned char code = static_cast<unsigned char>(c);
    return (code >= 0x09 && code <= 0x0D) || code == 0x1A || code == 0x20;
}

static std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsProfileBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsProfileBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

static std::vector<std::string_view> ProfileLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = std::min(text.find_first_of("\r\n"), text.size());
        std::string_view line = TrimBlanks(text.substr(0, end));
        if (!line.empty())
            lines.push_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

// The section name of a line, or false when it is no section line.
static bool SectionName(std::string_view line, std::string_view* name)
{
    size_t close = line.rfind(']');
    if (line.front() != '[' || close == std::string_view::npos)
        return false;
    *name = TrimBlanks(line.substr(1, close - 1));
    return true;
}

// The lines of the first section called section, its header excluded.
static std::vector<std::string_view> SectionLines(std::string_view text, std::string_view section)
{
    std::vector<std::string_view> lines;
    section = TrimBlanks(section);
    bool inSection = section.empty();
    for (std::string_view line : ProfileLines(text)) {
        std::string_view name;
        if (SectionName(line, &name)) {
            if (inSection)
                break;
            inSection = SameName(name, section);
        } else if (inSection) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The name part of a line that is no section line.
static std::string_view LineName(std::string_view line)
{
    return TrimBlanks(line.substr(0, line.find('=')));
}

// Finds the value of key in the first section called section. False when
// the key is missing or its line has no '='.
static bool FindProfileValue(std::string_view text, std::string_view section,
                             std::string_view key, std::string_view* value)
{
    key = TrimBlanks(key);
    for (std::string_view line : SectionLines(text, section)) {
        if (!SameName(LineName(line), key))
            continue;
        size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return false;
        *value = TrimBlanks(line.substr(equals + 1));
        return true;
    }
    return false;
}

// Copies a value into the buffer without one pair of enclosing quotes. Like
// Wine, it copies the value less its opening quote, cut to the buffer, and
// drops the last character copied when the buffer holds at least that many
// characters: the closing quote, or, when the buffer holds exactly that many,
// the value's own last character that made it in.
static DWORD CopyProfileText(std::string_view text, LPSTR buffer, DWORD size)
{
    if (size == 0)
        return 0;
    bool quoted = text.size() >= 2 && (text[0] == '"' || text[0] == '\'') && text.back() == text[0];
    if (quoted)
        text.remove_prefix(1);
    DWORD length = CopyCut(text, buffer, size);
    if (quoted && size >= text.size() && length > 0)
        buffer[--length] = '\0';
    return length;
}

static std::string_view WithoutTrailingSpaces(std::string_view text)
{
    while (text.size() > 1 && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string ReadProfileFile(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    if (size <= 0)
        return "";
    std::string text(static_cast<size_t>(size), '\0');
    file.seekg(0);
    file.read(text.data(), size);
    text.resize(static_cast<size_t>(file.gcount()));
    return text;
}

DWORD ReadPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                               DWORD size, LPCSTR file)
{
    if (section == nullptr || key == nullptr || fallback == nullptr) {
        // Listing sections or keys goes through the functions of the header.
        fprintf(stderr, "profile reader: GetPrivateProfileStringA without section, key or default\n");
        abort();
    }
    std::string text = ReadProfileFile(file);
    std::string_view value;
    if (!FindProfileValue(text, section, key, &value))
        value = WithoutTrailingSpaces(fallback);
    return CopyProfileText(value, buffer, size);
}

std::vector<std::string> ProfileSectionNames(std::string_view text)
{
    std::vector<std::string> names;
    for (std::string_view line : ProfileLines(text)) {
        std::string_view name;
        if (!SectionName(line, &name))
            continue;
        bool known = std::any_of(names.begin(), names.end(),
                                 [&](const std::string& seen) { return SameName(seen, name); });
        if (!known)
            names.emplace_back(name);
    }
    return names;
}

std::vector<std::string> ProfileKeyNames(std::string_view text, std::string_view section)
{
    std::vector<std::string> names;
    for (std::string_view line : SectionLines(text, section)) {
        if (line.find('=') != std::string_view::npos)
            names.emplace_back(LineName(line));
    }
    return names;
}
