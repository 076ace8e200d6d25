// Small file helpers shared by the end-to-end test programs: the harness, the
// test probe library and the test setup program talk through text files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Folder of a loaded module's file, without a trailing backslash.
std::string FolderOfModule(HMODULE module);

// Appends the lines, each ended by CRLF, in one write, so that a reader in
// another process never sees half a record. The file is shared for reading
// and writing while it is open.
void AppendLines(const std::string& path, const std::vector<std::string>& lines);
void AppendLine(const std::string& path, const std::string& line);

// The file's lines without their line ends; none when the file is missing.
std::vector<std::string> ReadLines(const std::string& path);

// Replaces the file's contents; false when it cannot be written.
bool WriteTextFile(const std::string& path, const std::string& text);

bool FileExists(const std::string& path);
