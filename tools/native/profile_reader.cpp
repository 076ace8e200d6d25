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
// - A UTF-8 byte-order mark is three characters of the first line, as Windows
//   95 and 98 read it, so a section header right after it is none. Here Wine
//   differs: it skips the mark and reads the file as UTF-8, converting the
//   values to the ANSI code page.
// The file is split once into an index of its sections (ProfileIndex); the
// first section of a name and the first line of a key's name are found in
// it without a scan.
// Where Windows itself differs on these finer points is not known here; the
// differential test checks this reader against Wine.
#include "profile_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unordered_map>
#include <unordered_set>

DWORD CopyCut(std::string_view text, LPSTR buffer, DWORD size)
{
    if (size == 0)
        return 0;
    size_t length = std::min<size_t>(text.size(), size - 1);
    memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
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

// The name part of a line that is no section line.
static std::string_view LineName(std::string_view line)
{
    return TrimBlanks(line.substr(0, line.find('=')));
}

// A name as the lookups compare it: ASCII letters in lower case.
static std::string FoldedName(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return folded;
}

namespace {

// One section of a profile text: its name and its lines, header excluded.
// The lines before the first section form one without a name.
struct IndexedSection {
    std::string_view Name;
    std::vector<std::string_view> Lines;
    // Folded line name -> the first line with it; built on the first lookup.
    mutable std::unordered_map<std::string, size_t> FirstLines;
    mutable bool LinesIndexed = false;

    const std::string_view* FindLine(std::string_view key) const
    {
        if (!LinesIndexed) {
            for (size_t i = 0; i < Lines.size(); ++i)
                FirstLines.emplace(FoldedName(LineName(Lines[i])), i);
            LinesIndexed = true;
        }
        auto found = FirstLines.find(FoldedName(key));
        return found == FirstLines.end() ? nullptr : &Lines[found->second];
    }
};

// The sections of a profile text, split once, with the first section of
// each name found without a scan. The text must outlive the index.
class ProfileIndex {
public:
    explicit ProfileIndex(std::string_view text)
    {
        sections_.emplace_back();
        for (std::string_view line : ProfileLines(text)) {
            std::string_view name;
            if (!SectionName(line, &name)) {
                sections_.back().Lines.push_back(line);
                continue;
            }
            sections_.emplace_back();
            sections_.back().Name = name;
            firstOfName_.emplace(FoldedName(name), sections_.size() - 1);
        }
    }

    // The sections in file order, the one without a name first.
    const std::deque<IndexedSection>& Sections() const { return sections_; }

    // The section that lookups of name search: the first one so called, or
    // for an empty name the lines before the first section.
    const IndexedSection* Find(std::string_view name) const
    {
        name = TrimBlanks(name);
        if (name.empty())
            return &sections_.front();
        auto found = firstOfName_.find(FoldedName(name));
        return found == firstOfName_.end() ? nullptr : &sections_[found->second];
    }

private:
    std::deque<IndexedSection> sections_;
    std::unordered_map<std::string, size_t> firstOfName_;
};

}  // namespace

// Finds the value of key in the first section called section. False when
// the key is missing or its line has no '='.
static bool FindProfileValue(const ProfileIndex& index, std::string_view section,
                             std::string_view key, std::string_view* value)
{
    const IndexedSection* found = index.Find(section);
    const std::string_view* line = found ? found->FindLine(TrimBlanks(key)) : nullptr;
    if (line == nullptr)
        return false;
    size_t equals = line->find('=');
    if (equals == std::string_view::npos)
        return false;
    *value = TrimBlanks(line->substr(equals + 1));
    return true;
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

// Who a host file is, as far as its status tells: while its size and time
// stay the same, a file read earlier need not be read again.
struct FileIdentity {
    std::uintmax_t Size = 0;
    std::filesystem::file_time_type Modified;

    bool operator==(const FileIdentity& other) const
    {
        return Size == other.Size && Modified == other.Modified;
    }
};

// The identity of a host file; false when it has none to go by.
static bool IdentifyFile(const std::string& path, FileIdentity* identity)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    identity->Size = std::filesystem::file_size(path, error);
    identity->Modified = std::filesystem::last_write_time(path, error);
    return !error;
}

static bool keepIndexes = false;

void KeepProfileIndexes(bool keep)
{
    keepIndexes = keep;
}

// The index of a profile file: read and split anew on every call, or, once
// while KeepProfileIndexes(true) holds, kept for as long as the file looks the same.
static const ProfileIndex& IndexOfFile(const char* file)
{
    static std::string keptPath;
    static FileIdentity keptIdentity;
    static std::string keptText;
    static std::unique_ptr<ProfileIndex> keptIndex;

    std::string path = file;
    std::replace(path.begin(), path.end(), '\\', '/');
    FileIdentity identity;
    bool identified = IdentifyFile(path, &identity);
    if (keptIndex && keepIndexes && identified && path == keptPath && identity == keptIdentity)
        return *keptIndex;
    keptIndex.reset();
    keptText = ReadProfileFile(path);
    keptIndex = std::make_unique<ProfileIndex>(keptText);
    keptPath = identified ? path : "";
    keptIdentity = identity;
    return *keptIndex;
}

DWORD ReadPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                               DWORD size, LPCSTR file)
{
    if (section == nullptr || key == nullptr || fallback == nullptr) {
        // Listing sections or keys goes through the functions of the header.
        (void)fprintf(stderr, "profile reader: GetPrivateProfileStringA without section, key or default\n");
        abort();
    }
    std::string_view value;
    if (!FindProfileValue(IndexOfFile(file), section, key, &value))
        value = WithoutTrailingSpaces(fallback);
    return CopyProfileText(value, buffer, size);
}

// The names of a section's lines with '=', in file order.
static std::vector<std::string> KeyNamesOf(const IndexedSection& section)
{
    std::vector<std::string> names;
    for (std::string_view line : section.Lines) {
        if (line.find('=') != std::string_view::npos)
            names.emplace_back(LineName(line));
    }
    return names;
}

std::vector<std::string> ProfileSectionNames(std::string_view text)
{
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const ProfileSection& section : ProfileSections(text)) {
        if (seen.insert(FoldedName(section.Name)).second)
            names.push_back(section.Name);
    }
    return names;
}

std::vector<std::string> ProfileKeyNames(std::string_view text, std::string_view section)
{
    ProfileIndex index(text);
    const IndexedSection* found = index.Find(section);
    return found ? KeyNamesOf(*found) : std::vector<std::string>{};
}

std::vector<ProfileSection> ProfileSections(std::string_view text)
{
    ProfileIndex index(text);
    std::vector<ProfileSection> sections;
    for (size_t i = 1; i < index.Sections().size(); ++i) {
        const IndexedSection& section = index.Sections()[i];
        sections.push_back({std::string(section.Name), KeyNamesOf(section)});
    }
    return sections;
}
