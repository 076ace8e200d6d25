// The Win32 stand-in's calls. Everything but the private profile reader is a
// settable answer or a record of the call; the profile reader reads real
// files, and tests/profile compares it with the real one under Wine.
#include "standin.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>
#include <strings.h>

#include "probe/device_probe.h"

StandIn Win;

void ResetStandIn()
{
    Win = StandIn();
}

// Copies text into buffer, cut to size - 1 characters and a NUL, as the
// profile readers do. Returns the characters copied.
static DWORD CopyCut(std::string_view text, LPSTR buffer, DWORD size)
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

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size)
{
    // Like Windows XP: a name that does not fit is cut to size characters,
    // without a NUL, and size is returned.
    const std::string& name = Win.ModuleFileName;
    if (name.size() >= size) {
        memcpy(buffer, name.data(), size);
        return size;
    }
    return CopyCut(name, buffer, size);
}

DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size)
{
    // Wine keeps the "Intl" values of the system profile in the registry, so
    // they come back as stored: cut to the buffer, quotes kept.
    for (const auto& [name, value] : Win.SystemProfile) {
        if (SameName(name, std::string(section) + "/" + key))
            return CopyCut(value, buffer, size);
    }
    return CopyCut(fallback, buffer, size);
}

// ---- The private profile reader ---------------------------------------
//
// It reads the file on every call and follows Wine's reader:
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

// Finds the value of key in the first section called section. False when
// the key is missing or its line has no '='.
static bool FindProfileValue(std::string_view text, std::string_view section,
                             std::string_view key, std::string_view* value)
{
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    bool inSection = section.empty();
    for (std::string_view line : ProfileLines(text)) {
        std::string_view name;
        if (SectionName(line, &name)) {
            if (inSection)
                return false;
            inSection = SameName(name, section);
            continue;
        }
        if (!inSection)
            continue;
        size_t equals = line.find('=');
        if (!SameName(TrimBlanks(line.substr(0, equals)), key))
            continue;
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

static std::string ReadHostFile(std::string path)
{
    // The tests' program folders are host folders; the backslashes that the
    // path helpers add become the host's separators.
    std::replace(path.begin(), path.end(), '\\', '/');
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                               DWORD size, LPCSTR file)
{
    if (section == nullptr || key == nullptr || fallback == nullptr) {
        // Listing sections or keys is not stood in for: the program never asks.
        fprintf(stderr, "stand-in: GetPrivateProfileStringA without section, key or default\n");
        abort();
    }
    Win.ProfileKeysRead.push_back(std::string(section) + "/" + key);
    std::string text = ReadHostFile(file);
    std::string_view value;
    if (!FindProfileValue(text, section, key, &value))
        value = WithoutTrailingSpaces(fallback);
    return CopyProfileText(value, buffer, size);
}

// ---- Settable answers and recorded calls --------------------------------

BOOL GetVersionExA(OSVERSIONINFOA* version)
{
    // The real call accepts only the sizes of its two records.
    DWORD size = version->dwOSVersionInfoSize;
    if (Win.VersionFails || (size != 148 && size != 156))
        return FALSE;
    *version = Win.Version;
    version->dwOSVersionInfoSize = size;
    return TRUE;
}

BOOL IsDBCSLeadByte(BYTE c)
{
    return Win.ShiftJisLeadBytes && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    // wsprintfA writes at most 1024 bytes, its NUL included.
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(buffer, 1024, format, arguments);
    va_end(arguments);
    return std::min(length, 1023);
}

BOOL SetCurrentDirectoryA(LPCSTR folder)
{
    Win.Folders.push_back(folder);
    Win.CallOrder.push_back("SetCurrentDirectoryA");
    return TRUE;
}

UINT WinExec(LPCSTR command, UINT show)
{
    Win.Started.push_back({command, show});
    Win.CallOrder.push_back("WinExec");
    return Win.WinExecResult;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)
{
    Win.MessageBoxes.push_back({owner, text, caption, flags});
    Win.CallOrder.push_back("MessageBoxA");
    return Win.MessageBoxAnswer;
}

extern "C" DWORD WINAPI ProbeDevice(DWORD vendor, DWORD device, char* buffer)
{
    Win.Probes.push_back({vendor, device});
    Win.ProbeBuffers.insert(buffer);
    // The real probe may fill its buffer; filling all of it shows that the
    // program's buffer is as large as promised.
    memset(buffer, 'x', kProbeBufferSize);
    return Win.PresentDevices.count({static_cast<WORD>(vendor), static_cast<WORD>(device)}) ? 1 : 0;
}
