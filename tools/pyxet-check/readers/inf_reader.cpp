// Reads a Windows 9x INF file as Windows 9x setup reads it, as far as
// hardware matching needs it; where the NT family reads the file otherwise,
// a note names the difference:
//
// - A file of more than 1 MiB is refused unread.
// - The bytes are the ANSI code page's, unless the file is UTF-16: it starts
//   with a byte-order mark (FF FE little-endian, FE FF big-endian), or every
//   other byte is NUL (every odd one: little-endian; every even one:
//   big-endian). UTF-16 is read all the same, a character below 256 as that
//   byte and any other as '?', and reported: Windows 95 and 98 ignore such
//   files. A UTF-8 byte-order mark is skipped.
// - A Ctrl-Z ends the file. A line ends at LF or CRLF; any other CR, and NUL,
//   is a space.
// - [name] starts a section; the name is everything between the brackets,
//   compared without regard to case, and sections of one name are merged in
//   file order. The rest of the line after ']' is ignored. A section name
//   without its ']' or longer than 255 characters makes the file unreadable.
// - Text before the first section (a /* ... */ banner) is ignored; the NT
//   family refuses the file (a note).
// - A line is [key=]field[,field...]. Only an '=' in the first field makes a
//   key; a line of one field without '=' has that field as its key too.
//   Spaces around a field are dropped, those within it kept.
// - A ';' outside quotes and outside a %key% starts a comment that runs to
//   the end of the line.
// - "..." quotes part of a field, keeping ',' ';' '=' '\' and spaces in it;
//   "" within quotes is one quote. A quote left open ends with the line.
// - A '\' followed by nothing but spaces, and maybe a comment, up to the end
//   of the line continues the line: the next line's leading spaces are
//   dropped and its text goes on in the same field, unless the next line
//   starts with '[': that line begins a section all the same (a note: the
//   NT family reads it as part of the line before). Any other '\' is an
//   ordinary character (PCI\VEN_...).
// - A field is cut at 511 characters.
// - A %key% in a field is replaced by key's value in [Strings] (the first
//   line of that key, compared without regard to case; keys may hold '\',
//   '&' and '.'); %% is a percent sign; an unknown %key% stays as it is.
//   Values are not substituted again. The result is cut at 4096 characters.
// - The file is an INF when [Version] has a Signature line. Its first one
//   holds $Chicago$, $Windows 95$ or $Windows NT$, in any case, as written;
//   any other ($Windows 9x$, $CHICAGO) is read all the same, with a warning,
//   as driver collections in use on Windows 98 hold such files.
// - A [Manufacturer] line is name=models-section[,decoration...], or a bare
//   name that names its models section too. The sections read are the plain
//   models section and models-section.decoration for each decoration; each
//   section is read once, however many lines name it.
// - Every line of a models section is a model, duplicate keys included:
//   description=install-section,hardware-id[,compatible-id...].
#include "readers/inf_reader.h"

#include <map>
#include <set>

#include "readers/utf16.h"

namespace {

struct Line {
    bool HasKey = false;
    std::string Key;
    std::vector<std::string> Fields;
};

// A section's lines; ParsedInf's index holds its name.
struct Section {
    std::vector<Line> Lines;
};

// The file's sections, or why it could not be read.
struct ParsedInf {
    std::vector<Section> Sections;
    std::map<std::string, size_t> Index;  // lower-case name to its place in Sections
    std::string Problem;
    std::vector<std::string> Notes;  // where the NT family reads the text otherwise
};

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = LowerAscii(c);
    return lower;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\0';
}

// Appends c unless text has reached limit characters.
void AppendBounded(std::string* text, char c, size_t limit)
{
    if (text->size() < limit)
        text->push_back(c);
}

// True when every other byte of data, starting at first, is NUL.
bool NulEveryOther(const unsigned char* data, size_t size, size_t first)
{
    if (size < 2)
        return false;
    for (size_t i = first; i < size; i += 2) {
        if (data[i] != 0)
            return false;
    }
    return true;
}

// The file's text as bytes, up to its Ctrl-Z; unicode says whether it was UTF-16.
std::string DecodeText(const char* bytes, size_t size, bool* unicode)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    std::string text;
    *unicode = true;
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        text = BytesFromUtf16(data + 2, size - 2, false);
    } else if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
        text = BytesFromUtf16(data + 2, size - 2, true);
    } else if (NulEveryOther(data, size, 1)) {
        text = BytesFromUtf16(data, size, false);
    } else if (NulEveryOther(data, size, 0)) {
        text = BytesFromUtf16(data, size, true);
    } else {
        *unicode = false;
        size_t skip = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
        text.assign(bytes + skip, size - skip);
    }
    size_t controlZ = text.find('\x1a');
    if (controlZ != std::string::npos)
        text.resize(controlZ);
    return text;
}

// The one pass over the text: each character is handed to the current
// state, which consumes it or, on a change of state, hands it on.
class Parser {
public:
    ParsedInf Run(const std::string& text);

private:
    enum class State {
        LineStart,         // before a line's first character
        SectionName,       // between '[' and ']'
        Field,             // in a key or a field, outside quotes
        Quoted,            // within quotes
        QuoteEnd,          // just after a quote within quotes: "" or the end
        Backslash,         // after a '\' that may continue the line
        BackslashComment,  // a comment after such a '\'
        Continued,         // the leading spaces of a continuation line
        Comment,           // up to the end of the line
    };

    bool Step(char c);  // false when c is handed on to the new state
    bool OnLineStart(char c);
    bool OnSectionName(char c);
    bool OnField(char c);
    bool OnQuoted(char c);
    bool OnQuoteEnd(char c);
    bool OnBackslash(char c);
    bool OnContinued(char c);
    void Finish();

    void StartLine();
    void EndField();
    void EndLine();
    void ContinueLine();
    void StartText();
    void Append(char c);
    void AppendHeld();
    void Fail(const std::string& what);
    void Note(unsigned line, const std::string& what);

    ParsedInf result_;
    State state_ = State::LineStart;
    unsigned lineNumber_ = 1;
    long section_ = -1;  // index into result_.Sections, -1 before the first
    std::string sectionName_;
    Line line_;
    bool lineOpen_ = false;
    bool keyPossible_ = false;  // in the first field, no '=' seen yet
    std::string token_;         // the field so far
    std::string spaces_;        // spaces after the token, kept if more follows
    std::string held_;          // a '\' and what followed it on its line
    bool fieldStarted_ = false;
    bool inPercent_ = false;
    bool textBeforeSections_ = false;  // noted already
    unsigned sectionAfterContinuation_ = 0;  // the line of a section name begun so, else 0
};

ParsedInf Parser::Run(const std::string& text)
{
    for (size_t i = 0; i < text.size() && result_.Problem.empty();) {
        char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;  // CRLF ends a line as LF does
            continue;
        }
        if (Step(c)) {
            lineNumber_ += c == '\n';
            ++i;
        }
    }
    if (result_.Problem.empty())
        Finish();
    if (!result_.Problem.empty())
        result_.Sections.clear();
    return std::move(result_);
}

bool Parser::Step(char c)
{
    switch (state_) {
    case State::LineStart:
        return OnLineStart(c);
    case State::SectionName:
        return OnSectionName(c);
    case State::Field:
        return OnField(c);
    case State::Quoted:
        return OnQuoted(c);
    case State::QuoteEnd:
        return OnQuoteEnd(c);
    case State::Backslash:
        return OnBackslash(c);
    case State::BackslashComment:
        if (c == '\n')
            ContinueLine();
        return true;
    case State::Continued:
        return OnContinued(c);
    case State::Comment:
        if (c == '\n')
            state_ = State::LineStart;
        return true;
    }
    return true;
}

bool Parser::OnLineStart(char c)
{
    if (c == ';') {
        state_ = State::Comment;
    } else if (c == '[') {
        sectionName_.clear();
        state_ = State::SectionName;
    } else if (c != '\n' && !IsSpace(c) && section_ < 0) {
        if (!textBeforeSections_)
            Note(lineNumber_, "text before the first section, which Windows 9x ignores and the NT family refuses");
        textBeforeSections_ = true;
        state_ = State::Comment;
    } else if (c != '\n' && !IsSpace(c)) {
        StartLine();
        return false;
    }
    return true;
}

bool Parser::OnSectionName(char c)
{
    if (c == '\n') {
        Fail("a section name without its ']'");
    } else if (c != ']') {
        if (sectionName_.size() == kInfSectionNameMax)
            Fail("a section name longer than " + std::to_string(kInfSectionNameMax) + " characters");
        sectionName_.push_back(c);
    } else {
        std::string key = Lower(sectionName_);
        auto found = result_.Index.find(key);
        if (found == result_.Index.end()) {
            found = result_.Index.emplace(key, result_.Sections.size()).first;
            result_.Sections.push_back(Section{});
        }
        section_ = static_cast<long>(found->second);
        if (sectionAfterContinuation_ != 0)
            Note(sectionAfterContinuation_, "[" + sectionName_ + "] after a '\\' continuation begins a section, "
                                            "which the NT family reads as part of the line before");
        sectionAfterContinuation_ = 0;
        state_ = State::Comment;  // the rest of the line is ignored
    }
    return true;
}

bool Parser::OnField(char c)
{
    if (c == '\n') {
        EndLine();
        state_ = State::LineStart;
    } else if (c == ';' && !inPercent_) {
        EndLine();
        state_ = State::Comment;
    } else if (c == ',') {
        EndField();
    } else if (c == '=' && keyPossible_) {
        line_.HasKey = true;
        line_.Key = token_;
        token_.clear();
        spaces_.clear();
        fieldStarted_ = inPercent_ = keyPossible_ = false;
    } else if (c == '"') {
        StartText();
        state_ = State::Quoted;
    } else if (c == '\\') {
        held_.assign(1, c);
        state_ = State::Backslash;
    } else if (IsSpace(c)) {
        if (fieldStarted_)
            AppendBounded(&spaces_, c, kInfFieldMax);
    } else {
        inPercent_ ^= c == '%';
        Append(c);
    }
    return true;
}

bool Parser::OnQuoted(char c)
{
    if (c == '\n') {
        state_ = State::Field;
        return false;
    }
    if (c == '"')
        state_ = State::QuoteEnd;
    else
        AppendBounded(&token_, c == '\0' ? ' ' : c, kInfFieldMax);
    return true;
}

bool Parser::OnQuoteEnd(char c)
{
    if (c != '"') {
        state_ = State::Field;
        return false;
    }
    AppendBounded(&token_, c, kInfFieldMax);
    state_ = State::Quoted;
    return true;
}

bool Parser::OnBackslash(char c)
{
    if (c == '\n') {
        ContinueLine();
    } else if (c == ';') {
        state_ = State::BackslashComment;
    } else if (c == '\\' || IsSpace(c)) {
        AppendBounded(&held_, c, kInfFieldMax);
    } else {
        AppendHeld();
        state_ = State::Field;
        return false;
    }
    return true;
}

// The leading spaces of a continuation line are dropped; a '[' there ends
// the continued line and begins a section, as Windows 9x reads it.
bool Parser::OnContinued(char c)
{
    if (c == '[') {
        EndLine();
        sectionAfterContinuation_ = lineNumber_;
        sectionName_.clear();
        state_ = State::SectionName;
        return true;
    }
    if (c == '\n' || !IsSpace(c)) {
        state_ = State::Field;
        return false;
    }
    return true;
}

// At the end of the text: the last line ends; a '\' there continues nothing.
void Parser::Finish()
{
    if (state_ == State::SectionName)
        Fail("a section name without its ']'");
    else
        EndLine();
}

void Parser::StartLine()
{
    line_ = Line{};
    lineOpen_ = true;
    keyPossible_ = true;
    state_ = State::Field;
}

void Parser::EndField()
{
    line_.Fields.push_back(token_);
    token_.clear();
    spaces_.clear();
    fieldStarted_ = inPercent_ = keyPossible_ = false;
}

void Parser::EndLine()
{
    if (!lineOpen_)
        return;
    EndField();
    lineOpen_ = false;
    if (!line_.HasKey && line_.Fields.size() == 1) {
        line_.HasKey = true;
        line_.Key = line_.Fields[0];
    }
    result_.Sections[static_cast<size_t>(section_)].Lines.push_back(std::move(line_));
}

// A '\' ended the line: the field goes on after the next line's leading spaces.
void Parser::ContinueLine()
{
    held_.clear();
    spaces_.clear();
    state_ = State::Continued;
}

// More text follows in the field: the spaces before it belong to it.
void Parser::StartText()
{
    for (char space : spaces_)
        AppendBounded(&token_, space, kInfFieldMax);
    spaces_.clear();
    fieldStarted_ = true;
}

void Parser::Append(char c)
{
    StartText();
    AppendBounded(&token_, c, kInfFieldMax);
}

// The '\' was an ordinary character: it and the spaces after it belong to
// the field (spaces last in it only if more text follows).
void Parser::AppendHeld()
{
    for (char c : held_) {
        if (IsSpace(c))
            AppendBounded(&spaces_, c, kInfFieldMax);
        else
            Append(c);
    }
    held_.clear();
}

void Parser::Fail(const std::string& what)
{
    result_.Problem = "line " + std::to_string(lineNumber_) + ": " + what;
}

void Parser::Note(unsigned line, const std::string& what)
{
    result_.Notes.push_back("line " + std::to_string(line) + ": " + what);
}

const Section* FindSection(const ParsedInf& inf, const std::string& name)
{
    auto found = inf.Index.find(Lower(name));
    return found == inf.Index.end() ? nullptr : &inf.Sections[found->second];
}

// The [Strings] section as a lookup: lower-case key to the value of its first line.
class StringTable {
public:
    explicit StringTable(const ParsedInf& inf);
    std::string Substitute(const std::string& text) const;

private:
    std::map<std::string, std::string> values_;
};

StringTable::StringTable(const ParsedInf& inf)
{
    const Section* strings = FindSection(inf, "Strings");
    if (strings == nullptr)
        return;
    for (const Line& line : strings->Lines) {
        if (line.HasKey && !line.Fields.empty())
            values_.emplace(Lower(line.Key), line.Fields[0]);
    }
}

// Appends part to text, which holds at most kInfStringMax characters.
void AppendString(std::string* text, std::string_view part)
{
    size_t room = kInfStringMax - text->size();
    text->append(part.substr(0, room));
}

std::string StringTable::Substitute(const std::string& text) const
{
    std::string result;
    size_t open = std::string::npos;  // the '%' that opened a key
    size_t copied = 0;                // text before this is in result
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        if (open == std::string::npos) {
            AppendString(&result, std::string_view(text).substr(copied, i - copied));
            open = copied = i;
            continue;
        }
        std::string_view key = std::string_view(text).substr(open + 1, i - open - 1);
        auto value = values_.find(Lower(key));
        if (key.empty())
            AppendString(&result, "%");
        else if (value != values_.end())
            AppendString(&result, value->second);
        else
            AppendString(&result, std::string_view(text).substr(open, i - open + 1));
        open = std::string::npos;
        copied = i + 1;
    }
    AppendString(&result, std::string_view(text).substr(copied));
    return result;
}

// Empty when the file has a signature, else why not; a signature none of
// the three documented ones adds a warning.
std::string SignatureProblem(const ParsedInf& inf, std::vector<std::string>* warnings)
{
    const Section* version = FindSection(inf, "Version");
    if (version == nullptr)
        return "no [Version] section";
    for (const Line& line : version->Lines) {
        if (!line.HasKey || Lower(line.Key) != "signature")
            continue;
        std::string signature = Lower(line.Fields[0]);
        if (signature != "$chicago$" && signature != "$windows 95$" && signature != "$windows nt$")
            warnings->push_back("Signature \"" + line.Fields[0] +
                                "\" is none of the documented $Chicago$, $Windows 95$, $Windows NT$: read all the same");
        return "";
    }
    return "[Version] has no Signature";
}

// The models of the [Manufacturer] section's models sections.
class ModelReader {
public:
    ModelReader(const ParsedInf& inf, std::vector<InfModel>* models)
        : inf_(inf), strings_(inf), models_(models) {}
    void ReadManufacturers();

private:
    void ReadModelsSection(const std::string& manufacturer, const std::string& name);

    const ParsedInf& inf_;
    StringTable strings_;
    std::vector<InfModel>* models_;
    std::set<std::string> read_;  // lower-case names of the models sections read
};

void ModelReader::ReadManufacturers()
{
    const Section* manufacturers = FindSection(inf_, "Manufacturer");
    if (manufacturers == nullptr)
        return;
    for (const Line& line : manufacturers->Lines) {
        if (!line.HasKey)
            continue;
        std::string manufacturer = strings_.Substitute(line.Key);
        std::string section = strings_.Substitute(line.Fields[0]);
        ReadModelsSection(manufacturer, section);
        const std::string decoratedStart = section + ".";
        for (size_t i = 1; i < line.Fields.size(); ++i) {
            std::string decoration = strings_.Substitute(line.Fields[i]);
            if (!decoration.empty())
                ReadModelsSection(manufacturer, decoratedStart + decoration);
        }
    }
}

void ModelReader::ReadModelsSection(const std::string& manufacturer, const std::string& name)
{
    const Section* section = FindSection(inf_, name);
    if (section == nullptr || !read_.insert(Lower(name)).second)
        return;
    for (const Line& line : section->Lines) {
        InfModel model;
        model.Manufacturer = manufacturer;
        model.ModelsSection = name;
        if (line.HasKey)
            model.Description = strings_.Substitute(line.Key);
        model.InstallSection = strings_.Substitute(line.Fields[0]);
        if (line.Fields.size() > 1)
            model.HardwareId = strings_.Substitute(line.Fields[1]);
        for (size_t i = 2; i < line.Fields.size(); ++i)
            model.CompatibleIds.push_back(strings_.Substitute(line.Fields[i]));
        models_->push_back(std::move(model));
    }
}

bool TakeText(std::string_view text, size_t* at, std::string_view expected)
{
    if (text.size() - *at < expected.size())
        return false;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (LowerAscii(text[*at + i]) != LowerAscii(expected[i]))
            return false;
    }
    *at += expected.size();
    return true;
}

bool TakeHex(std::string_view text, size_t* at, size_t digits, uint32_t* value)
{
    if (text.size() - *at < digits)
        return false;
    uint32_t number = 0;
    for (size_t i = 0; i < digits; ++i) {
        char c = LowerAscii(text[*at + i]);
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            return false;
        number = number * 16 + static_cast<uint32_t>(digit);
    }
    *value = number;
    *at += digits;
    return true;
}

// Appends value as digits upper-case hexadecimal digits.
void AppendHex(std::string* text, uint32_t value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        text->push_back("0123456789ABCDEF"[(value >> shift) & 0xF]);
}

}  // namespace

InfRead ReadInf(const char* data, size_t size)
{
    InfRead read;
    if (size > kInfFileMax) {
        read.Refused = true;
        read.Problem = "larger than " + std::to_string(kInfFileMax) + " bytes (" + std::to_string(size) + ")";
        return read;
    }
    ParsedInf inf = Parser().Run(DecodeText(data, size, &read.Unicode));
    read.Problem = inf.Problem.empty() ? SignatureProblem(inf, &read.Warnings) : inf.Problem;
    read.IsInf = read.Problem.empty();
    if (read.IsInf) {
        ModelReader(inf, &read.Models).ReadManufacturers();
        read.Notes = std::move(inf.Notes);
    }
    return read;
}

bool ParsePciHardwareId(std::string_view text, PciHardwareId* id)
{
    PciHardwareId parsed;
    size_t at = 0;
    uint32_t vendor, device, number;
    if (!TakeText(text, &at, "PCI\\VEN_") || !TakeHex(text, &at, 4, &vendor) ||
        !TakeText(text, &at, "&DEV_") || !TakeHex(text, &at, 4, &device))
        return false;
    parsed.Vendor = static_cast<uint16_t>(vendor);
    parsed.Device = static_cast<uint16_t>(device);
    if (TakeText(text, &at, "&SUBSYS_")) {
        if (!TakeHex(text, &at, 8, &parsed.Subsystem))
            return false;
        parsed.HasSubsystem = true;
    }
    if (TakeText(text, &at, "&REV_")) {
        if (!TakeHex(text, &at, 2, &number))
            return false;
        parsed.HasRevision = true;
        parsed.Revision = static_cast<uint8_t>(number);
    }
    if (TakeText(text, &at, "&CC_")) {
        if (!TakeHex(text, &at, 4, &number))
            return false;
        parsed.HasClass = true;
        parsed.BaseClass = static_cast<uint8_t>(number >> 8);
        parsed.SubClass = static_cast<uint8_t>(number);
        if (TakeHex(text, &at, 2, &number)) {
            parsed.HasProgrammingInterface = true;
            parsed.ProgrammingInterface = static_cast<uint8_t>(number);
        }
    }
    if (at != text.size())
        return false;
    *id = parsed;
    return true;
}

std::string FormatPciHardwareId(const PciHardwareId& id)
{
    std::string text = "PCI\\VEN_";
    AppendHex(&text, id.Vendor, 4);
    text += "&DEV_";
    AppendHex(&text, id.Device, 4);
    if (id.HasSubsystem) {
        text += "&SUBSYS_";
        AppendHex(&text, id.Subsystem, 8);
    }
    if (id.HasRevision) {
        text += "&REV_";
        AppendHex(&text, id.Revision, 2);
    }
    if (id.HasClass) {
        text += "&CC_";
        AppendHex(&text, id.BaseClass, 2);
        AppendHex(&text, id.SubClass, 2);
        if (id.HasProgrammingInterface)
            AppendHex(&text, id.ProgrammingInterface, 2);
    }
    return text;
}
