// Fuzzes the INF reader with fuzzed INF files. Whatever the input: nothing
// is read outside it (an exact-size copy), every kept text is within its
// bound, a file is an INF exactly when no problem is given, and only an INF
// has models. The same text read again in other clothes reads the same:
// with its LF line ends made CRLF, and as UTF-16 little- and big-endian with
// a byte-order mark (then also reported as Unicode). Every PCI ID a model
// lists formats back to the text it was read from, but for case.
//
// Input: the INF file's bytes.
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>

#include "common/fuzz_support.h"
#include "readers/inf_reader.h"

namespace {

InfRead ReadExact(const std::string& bytes)
{
    std::unique_ptr<char[]> copy(new char[bytes.size()]);
    memcpy(copy.get(), bytes.data(), bytes.size());
    return ReadInf(copy.get(), bytes.size());
}

// One line per model with every field, to compare two reads.
std::string Rendered(const InfRead& read)
{
    std::string text = std::to_string(read.IsInf) + read.Problem + "\n";
    for (const InfModel& model : read.Models) {
        text += model.Manufacturer + "|" + model.ModelsSection + "|" + model.Description + "|" +
                model.InstallSection + "|" + model.HardwareId;
        for (const std::string& compatible : model.CompatibleIds)
            text += "|" + compatible;
        text += "\n";
    }
    return text;
}

// Every LF without its CR given one: CRLF and LF line ends read alike.
std::string WithCrLf(const std::string& bytes)
{
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            text += '\r';
        text += bytes[i];
    }
    return text;
}

std::string AsUtf16(const std::string& bytes, bool bigEndian)
{
    std::string text = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : bytes) {
        text += bigEndian ? '\0' : c;
        text += bigEndian ? c : '\0';
    }
    return text;
}

void CheckBounded(const std::string& text, const char* what)
{
    FUZZ_CHECK(text.size() <= kInfStringMax, std::string(what) + " is " + std::to_string(text.size()) + " long");
}

void CheckPciId(const std::string& text)
{
    PciHardwareId id;
    if (!ParsePciHardwareId(text, &id))
        return;
    std::string formatted = FormatPciHardwareId(id);
    FUZZ_CHECK(strcasecmp(formatted.c_str(), text.c_str()) == 0 && formatted.size() == text.size(),
               "read as " + formatted + " from " + text);
}

void CheckRead(const InfRead& read)
{
    FUZZ_CHECK(!read.Refused, "a fuzzed file is far below the size limit");
    FUZZ_CHECK(read.IsInf == read.Problem.empty(), "an INF with a problem, or no INF without: " + read.Problem);
    FUZZ_CHECK(read.IsInf || read.Models.empty(), "models of a file that is no INF");
    for (const InfModel& model : read.Models) {
        CheckBounded(model.Manufacturer, "a manufacturer");
        CheckBounded(model.ModelsSection, "a models section name");
        CheckBounded(model.Description, "a description");
        CheckBounded(model.InstallSection, "an install section");
        CheckBounded(model.HardwareId, "a hardware ID");
        CheckPciId(model.HardwareId);
        for (const std::string& compatible : model.CompatibleIds) {
            CheckBounded(compatible, "a compatible ID");
            CheckPciId(compatible);
        }
    }
}

void CheckSameRead(const InfRead& read, const std::string& other, bool unicode, const char* what)
{
    InfRead again = ReadExact(other);
    FUZZ_CHECK(again.Unicode == unicode, std::string(what) + ": Unicode " + std::to_string(again.Unicode));
    FUZZ_CHECK(Rendered(again) == Rendered(read), std::string(what) + " reads otherwise:\n" + Rendered(again) +
                                                      "instead of\n" + Rendered(read));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    InfRead read = ReadExact(bytes);
    CheckRead(read);
    if (read.Unicode)
        return 0;
    CheckSameRead(read, WithCrLf(bytes), false, "the text with CRLF line ends");
    // A UTF-8 byte-order mark is the file's, not its text's.
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return 0;
    CheckSameRead(read, AsUtf16(bytes, false), true, "the text as UTF-16LE");
    CheckSameRead(read, AsUtf16(bytes, true), true, "the text as UTF-16BE");
    return 0;
}
