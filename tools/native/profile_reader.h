// The Windows profile (INI) file reader for host files: GetPrivateProfileStringA's
// rules, which tests/profile checks against the real function under Wine,
// and the lists of sections and keys that the same rules see.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// GetPrivateProfileStringA on a host file, read anew on every call unless
// KeepProfileIndexes(true) was called; the backslashes of a Windows path become
// the host's separators. Every argument but the file must be given: listing
// is done by the functions below.
DWORD ReadPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                               DWORD size, LPCSTR file);

// With keep, a file is read and split once and its index kept for as long
// as its size and modification time stay the same, as Wine keeps
// the profile files it has read. For callers that do not rewrite a profile
// file within the same clock tick while they read it.
void KeepProfileIndexes(bool keep);

// The file's bytes; empty when it is missing or unreadable.
std::string ReadProfileFile(std::string path);

// The section names of a profile text in file order, each name once in its
// first spelling; lines before the first section are in no named section.
std::vector<std::string> ProfileSectionNames(std::string_view text);

// The names of the lines with '=' in the section that lookups search (the
// first one called section), in file order: the keys a lookup can find.
std::vector<std::string> ProfileKeyNames(std::string_view text, std::string_view section);

// A section as the file holds it: its name and the names of its lines with '='.
struct ProfileSection {
    std::string Name;
    std::vector<std::string> KeyNames;
};

// Every named section in file order, a name given twice twice: what the
// lookups see and what they pass over.
std::vector<ProfileSection> ProfileSections(std::string_view text);

// Copies text into buffer, cut to size - 1 characters and a NUL, as the
// profile readers do. Returns the characters copied.
DWORD CopyCut(std::string_view text, LPSTR buffer, DWORD size);
