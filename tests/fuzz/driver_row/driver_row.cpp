// Fuzzes the driver-row parser and the hexadecimal reader against the rules
// of a row written out plainly: split at the separators, runs of them count
// as one; a hex field keeps the last eight digits it reads, then 16 bits.
//
// Input: one mode byte (odd: the stand-in's Shift-JIS lead bytes are on),
// then the row's value, at most 255 characters as the profile reader gives it.
#include <cctype>
#include <string>
#include <vector>

#include "common/fuzz_support.h"
#include "settings/driver_table.h"
#include "standin.h"

namespace {

bool IsSeparator(char c)
{
    return c == ',' || c == '\r' || c == '\n';
}

std::vector<std::string> SplitFields(const std::string& value)
{
    std::vector<std::string> fields;
    std::string field;
    for (char c : value + ',') {
        if (!IsSeparator(c)) {
            field += c;
        } else if (!field.empty()) {
            fields.push_back(field);
            field.clear();
        }
    }
    return fields;
}

WORD ExpectedHex(const std::string& field)
{
    size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || (field[i] >= '\t' && field[i] <= '\r')))
        ++i;
    bool negative = i < field.size() && field[i] == '-';
    if (i < field.size() && (field[i] == '-' || field[i] == '+'))
        ++i;
    if (field.compare(i, 2, "0x") == 0 || field.compare(i, 2, "0X") == 0)
        i += 2;
    size_t end = i;
    while (end < field.size() && isxdigit(static_cast<unsigned char>(field[end])))
        ++end;
    std::string digits = field.substr(i, end - i);
    if (digits.size() > 8)
        digits.erase(0, digits.size() - 8);
    uint32_t value = digits.empty() ? 0 : static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
    if (negative)
        value = 0u - value;
    return static_cast<WORD>(value & 0xFFFF);
}

// The name is the first field cut to 31 bytes, one less where the cut would
// split a double-byte character.
void CheckName(const char* name, const std::string& field)
{
    FUZZ_CHECK(HoldsText(name, kNameSize), "the name has no NUL within its field");
    std::string stored(name);
    FUZZ_CHECK(field.compare(0, stored.size(), stored) == 0, "the name is not the start of its field: " + stored);
    size_t whole = 0;
    while (whole < field.size() && NextCharacter(field, whole) <= kNameSize - 1)
        whole = NextCharacter(field, whole);
    FUZZ_CHECK(stored.size() == whole, "the name is cut at the wrong place: " + stored);
}

void CheckRow(const std::string& value)
{
    std::vector<std::string> fields = SplitFields(value);
    int expected = 0;
    if (fields.size() < 6 || fields[5].size() > kPathSize - 1)
        expected = fields.size() < 6 ? -1 - static_cast<int>(fields.size()) : kMissingCommand;
    else if (fields.size() < 7)
        expected = kMissingRestart;

    // A block of exactly one row, so that a write past the row is caught.
    std::unique_ptr<DriverEntry> entry(new DriverEntry);
    std::unique_ptr<char[]> text = ExactText(value);
    int result = ParseDriverRow(text.get(), entry.get());
    FUZZ_CHECK(result == expected, "code " + std::to_string(result) + ", expected " + std::to_string(expected));
    if (result != 0)
        return;
    CheckName(entry->Name, fields[0]);
    FUZZ_CHECK(entry->VendorCode == ExpectedHex(fields[1]), "vendor code of " + fields[1]);
    FUZZ_CHECK(entry->DeviceCodes[0] == ExpectedHex(fields[2]), "device code 1 of " + fields[2]);
    FUZZ_CHECK(entry->DeviceCodes[1] == ExpectedHex(fields[3]), "device code 2 of " + fields[3]);
    FUZZ_CHECK(entry->SupportFlags == ExpectedHex(fields[4]), "support flags of " + fields[4]);
    FUZZ_CHECK(HoldsText(entry->Command, kPathSize), "the command has no NUL within its field");
    FUZZ_CHECK(entry->Command == fields[5], std::string("the command is ") + entry->Command);
    FUZZ_CHECK(entry->RestartFlag == ExpectedHex(fields[6]), "restart flag of " + fields[6]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    ResetProgram((data[0] & 1) != 0);
    std::string value = InputText(data + 1, size - 1, kTextSize - 1);
    CheckRow(value);
    std::unique_ptr<char[]> text = ExactText(value);
    FUZZ_CHECK(ReadHexField(text.get()) == ExpectedHex(value), "hex reading of " + value);
    return 0;
}
