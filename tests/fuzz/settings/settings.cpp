// Fuzzes the whole table load and the text lookup from a settings file,
// read through GetPrivateProfileStringA (the native profile reader) as the
// program reads it. Every answer is checked against the same file read key
// by key.
//
// Input: the settings file. Two of its values steer the run as a system
// would: "iCountry" in section "Intl" is the system profile's country code,
// and "LeadBytes=ShiftJIS" in section "Stand-in" turns the stand-in's
// Shift-JIS lead bytes on.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "common/fuzz_support.h"
#include "settings/driver_table.h"
#include "settings/paths.h"
#include "settings/text_keys.h"
#include "settings/texts.h"
#include "standin.h"

namespace {

// The sizes of buffer a lookup fills: the ordinary one, the launch's caption,
// and a tiny one that cuts nearly every text. Each key takes the next size
// in turn, from a start the input picks: every profile read opens the file,
// and a run should stay short.
const int kLookupSizes[] = {kTextSize, 128, 3};

// The program's folder, made once in memory-backed storage where there is
// some, and removed when the fuzzer exits (never freed, so that it outlives
// every exit handler).
const std::string& ProgramFolder()
{
    static const std::string* folder = [] {
        const char* shared = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(shared) + "/pyxet-fuzz-XXXXXX";
        auto* made = new std::string(mkdtemp(&pattern[0]));
        atexit([] {
            remove((ProgramFolder() + "/Pyxet.ini").c_str());
            rmdir(ProgramFolder().c_str());
        });
        return made;
    }();
    return *folder;
}

std::string Read(const char* section, const char* key, const char* fallback, int size)
{
    std::unique_ptr<char[]> buffer = GuardedBuffer(size);
    GetPrivateProfileStringA(section, key, fallback, buffer.get(), size, ProgramState.SettingsPath);
    return buffer.get();
}

std::string RowKey(int i)
{
    return "chip" + std::to_string(i);
}

void CheckRowsAgainstFile(int result)
{
    const int count = DriverTable.Count;
    FUZZ_CHECK(result <= 0 && result >= kMissingRestart, "code " + std::to_string(result));
    FUZZ_CHECK(count >= 0 && count <= kMaxDrivers, "row count " + std::to_string(count));
    for (int i = 0; i < count; ++i) {
        const DriverEntry& row = DriverTable.Rows[i];
        DriverEntry again = {};
        FUZZ_CHECK(ParseDriverRow(Read("Drivers", RowKey(i).c_str(), "", kTextSize).c_str(), &again) == 0,
                   "row " + std::to_string(i) + " loaded but does not parse");
        FUZZ_CHECK(HoldsText(row.Name, kNameSize) && HoldsText(row.Command, kPathSize),
                   "row " + std::to_string(i) + " holds a field without its NUL");
        FUZZ_CHECK(memcmp(&row, &again, sizeof row) == 0, "row " + std::to_string(i) + " differs from its line");
    }
    std::string next = count < kMaxDrivers ? Read("Drivers", RowKey(count).c_str(), "", kTextSize) : "";
    if (result == 0) {
        FUZZ_CHECK(next.empty(), "the table stopped before " + RowKey(count));
    } else {
        DriverEntry failing = {};
        FUZZ_CHECK(ParseDriverRow(next.c_str(), &failing) == result,
                   "the code is not that of " + RowKey(count));
    }
}

// A lookup gives the user's section's text, or section "1"'s where that is
// empty, cut to the buffer without splitting a double-byte character.
void CheckLookups(size_t turn)
{
    for (const char* key : kTextKeys) {
        std::string expected = Read(ProgramState.CountryCode, key, "", kTextSize);
        if (expected.empty())
            expected = Read("1", key, "", kTextSize);
        const int size = kLookupSizes[turn++ % 3];
        std::unique_ptr<char[]> buffer = GuardedBuffer(size);
        LookupText(key, buffer.get(), size);
        FUZZ_CHECK(HoldsText(buffer.get(), size), std::string(key) + ": no NUL within the buffer");
        std::string text = buffer.get();
        size_t whole = 0;
        while (whole < expected.size() && NextCharacter(expected, whole) <= static_cast<size_t>(size - 1))
            whole = NextCharacter(expected, whole);
        FUZZ_CHECK(text == expected.substr(0, whole),
                   std::string(key) + " gives \"" + text + "\", expected \"" + expected.substr(0, whole) + "\"");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResetProgram();
    const std::string& folder = ProgramFolder();
    std::ofstream(folder + "/Pyxet.ini", std::ios::binary).write(reinterpret_cast<const char*>(data), size);
    // The stand-in's file reader turns the backslash the path helpers add
    // back into a slash.
    Win.ModuleFileName = folder + "\\PYXET.EXE";
    GetModuleFolder();
    FUZZ_CHECK(EnsureSettingsPath(), "no settings path in " + folder);

    Win.SystemProfile["Intl/iCountry"] = Read("Intl", "iCountry", "0", kCountrySize);
    Win.ShiftJisLeadBytes = Read("Stand-in", "LeadBytes", "", kTextSize) == "ShiftJIS";
    ReadCountryCode();

    CheckRowsAgainstFile(LoadDriverTable());
    CheckLookups(size);
    return 0;
}
