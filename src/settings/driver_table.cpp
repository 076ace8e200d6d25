// Loading and parsing of the driver table.
#include "settings/driver_table.h"

#include "core/text.h"
#include "settings/texts.h"

DriverTableRecord DriverTable;

static int IsFieldSeparator(char c)
{
    return c == ',' || c == '\r' || c == '\n';
}

static int IsWhiteSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

static int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

WORD ReadHexField(const char* field)
{
    while (IsWhiteSpace(*field))
        ++field;
    int negative = *field == '-';
    if (*field == '-' || *field == '+')
        ++field;
    if (field[0] == '0' && (field[1] == 'x' || field[1] == 'X'))
        field += 2;
    // No overflow check: earlier digits shift out, as with "%x".
    DWORD value = 0;
    for (int digit; (digit = HexDigitValue(*field)) >= 0; ++field)
        value = (value << 4) | static_cast<DWORD>(digit);
    if (negative)
        value = 0u - value;
    return static_cast<WORD>(value & 0xFFFF);
}

int TakeRowField(RowFieldCursor* cursor, char* field, int size)
{
    const char* p = cursor->Next;
    while (IsFieldSeparator(*p))
        ++p;
    if (*p == '\0')
        return 0;
    int length = 0;
    int fits = 1;
    for (; *p != '\0' && !IsFieldSeparator(*p); ++p) {
        if (length < size - 1)
            field[length++] = *p;
        else
            fits = 0;
    }
    field[length] = '\0';
    cursor->Next = p;
    return fits ? 1 : -1;
}

int ParseDriverRow(const char* value, DriverEntry* entry)
{
    RowFieldCursor cursor = {value};
    char field[kTextSize];

    if (TakeRowField(&cursor, field, kTextSize) == 0)
        return kMissingName;
    // A long name is only a display text: keep its first 31 characters.
    CopyText(entry->Name, field, kNameSize);

    WORD* hexBeforeCommand[] = {&entry->VendorCode, &entry->DeviceCodes[0],
                                &entry->DeviceCodes[1], &entry->SupportFlags};
    const int missingCodes[] = {kMissingVendor, kMissingDevice1, kMissingDevice2, kMissingFlags};
    for (int i = 0; i < 4; ++i) {
        if (TakeRowField(&cursor, field, kTextSize) == 0)
            return missingCodes[i];
        *hexBeforeCommand[i] = ReadHexField(field);
    }

    // A command cut short could start a different program: refuse it.
    if (TakeRowField(&cursor, entry->Command, kPathSize) != 1)
        return kMissingCommand;

    if (TakeRowField(&cursor, field, kTextSize) == 0)
        return kMissingRestart;
    entry->RestartFlag = ReadHexField(field);
    return 0;
}

int LoadDriverTable()
{
    DriverTable.Count = 0;
    if (!EnsureSettingsPath())
        return 0;
    for (int i = 0; i < kMaxDrivers; ++i) {
        DriverTable.Count = i;
        char key[16];
        char value[kTextSize];
        wsprintfA(key, "%s%d", "chip", i);
        if (GetPrivateProfileStringA("Drivers", key, "", value, kTextSize,
                                     ProgramState.SettingsPath) == 0)
            return 0;
        int result = ParseDriverRow(value, &DriverTable.Rows[i]);
        if (result != 0)
            return result;
    }
    DriverTable.Count = kMaxDrivers;
    return 0;
}
