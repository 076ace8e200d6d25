// The table of known chipsets, loaded from the "Drivers" section of the
// settings file: one row per key chip0, chip1, ... up to 20 rows.
#pragma once

#include "core/program_state.h"

enum { kNameSize = 32 };

struct DriverEntry {
    char Name[kNameSize];
    WORD VendorCode;
    WORD DeviceCodes[2];  // 0 means the slot is empty
    char Command[kPathSize];
    WORD SupportFlags;    // bit 0: minor version below 10, bit 1: 10 or more
    WORD RestartFlag;     // exactly 1 asks for a restart after the setup program
};

struct DriverTableRecord {
    DriverEntry Rows[kMaxDrivers];
    int Count;
};

extern DriverTableRecord DriverTable;

// Error codes of LoadDriverTable: the first field that a malformed row lacks.
enum {
    kMissingName = -1,
    kMissingVendor = -2,
    kMissingDevice1 = -3,
    kMissingDevice2 = -4,
    kMissingFlags = -5,
    kMissingCommand = -6,  // also a command too long for its field
    kMissingRestart = -7,
};

// Loads the table. Returns 0, or the code of the first malformed row; the
// row count is then the index of that row. A gap in the keys ends the table,
// and no more than 20 rows are read.
int LoadDriverTable();

// Reads a row's value into entry; returns 0 or one of the codes above.
int ParseDriverRow(const char* value, DriverEntry* entry);

// Walks the fields of one row's value: commas, CR and LF separate them, and a
// run of separators counts as one, so no field is empty.
struct RowFieldCursor {
    const char* Next;
};

// Copies the next field into field (size bytes). Returns 0 when there is no
// further field, -1 when it does not fit (field then holds its start), 1
// otherwise.
int TakeRowField(RowFieldCursor* cursor, char* field, int size);

// Reads a hexadecimal field as "%x" does, keeping the low 16 bits.
WORD ReadHexField(const char* field);
