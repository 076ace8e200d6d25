// The settings file's lines are found as the profile reader finds them: a
// line ends at CR, LF or CRLF, blanks around it do not count, and a line
// that starts with '[' and holds a ']' names a section.
#include "propose/settings_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

struct TextLine {
    size_t Start;
    size_t End;       // of the text, before the line end
    size_t LineEnd;   // bytes of the line end: 0, 1 or 2
};

std::vector<TextLine> SplitLines(const std::string& text)
{
    std::vector<TextLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back({start, text.size(), 0});
            break;
        }
        size_t length = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back({start, end, length});
        start = end + length;
    }
    return lines;
}

bool IsBlank(char c)
{
    unsigned char code = static_cast<unsigned char>(c);
    return (code >= 0x09 && code <= 0x0D) || code == 0x1A || code == 0x20;
}

std::string Trimmed(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// The section a line names, or false.
bool SectionName(const std::string& line, std::string* name)
{
    size_t close = line.rfind(']');
    if (line.empty() || line[0] != '[' || close == std::string::npos)
        return false;
    *name = Trimmed(line.substr(1, close - 1));
    return true;
}

// Whether a line of [Drivers] is a row line: its name is chip and digits.
bool IsRowLine(const std::string& line)
{
    size_t equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    std::string name = Trimmed(line.substr(0, equals));
    return name.size() > 4 && strncasecmp(name.c_str(), "chip", 4) == 0 &&
           name.find_first_not_of("0123456789", 4) == std::string::npos;
}

// The line end the file uses: its first one, else CRLF.
std::string FirstLineEnd(const std::string& text, const std::vector<TextLine>& lines)
{
    for (const TextLine& line : lines) {
        if (line.LineEnd != 0)
            return text.substr(line.End, line.LineEnd);
    }
    return "\r\n";
}

}  // namespace

bool InsertDriverRow(const std::string& text, const std::string& key, const std::string& value,
                     std::string* result, std::string* error)
{
    std::vector<TextLine> lines = SplitLines(text);
    int sections = 0;
    const TextLine* after = nullptr;  // the line the row follows
    bool inDrivers = false;
    for (const TextLine& line : lines) {
        std::string content = Trimmed(text.substr(line.Start, line.End - line.Start));
        std::string name;
        if (SectionName(content, &name)) {
            // Only the first [Drivers] counts: the program reads no other.
            inDrivers = strcasecmp(name.c_str(), "Drivers") == 0 && ++sections == 1;
            if (inDrivers)
                after = &line;
        } else if (inDrivers && sections == 1 && IsRowLine(content)) {
            after = &line;
        }
    }
    if (sections > 1) {
        *error = "it holds [Drivers] " + std::to_string(sections) +
                 " times, and the program reads only the first";
        return false;
    }
    std::string lineEnd = FirstLineEnd(text, lines);
    std::string row = key + "=" + value;
    if (after == nullptr) {
        bool ended = text.empty() || lines.back().LineEnd != 0;
        *result = text + (ended ? "" : lineEnd) + "[Drivers]" + lineEnd + row + lineEnd;
        return true;
    }
    size_t at = after->End + after->LineEnd;
    if (after->LineEnd != 0)
        *result = text.substr(0, at) + row + text.substr(after->End, after->LineEnd) + text.substr(at);
    else
        *result = text.substr(0, at) + lineEnd + row + text.substr(at);
    return true;
}

bool ReplaceFile(const std::string& path, const std::string& text, std::string* error)
{
    const std::string temporary = path + ".pyxet-new";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write " + temporary + ": " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
#ifdef _WIN32
    written = written && _commit(_fileno(file)) == 0;
#else
    written = written && fsync(fileno(file)) == 0;
#endif
    int savedErrno = errno;
    written = std::fclose(file) == 0 && written;
    std::error_code code;
    if (written) {
        fs::permissions(temporary, fs::status(path, code).permissions(), code);
        fs::rename(temporary, path, code);
        if (!code)
            return true;
        *error = "cannot rename " + temporary + " to " + path + ": " + code.message();
    } else {
        *error = "cannot write " + temporary + ": " + std::strerror(savedErrno);
    }
    fs::remove(temporary, code);
    return false;
}
