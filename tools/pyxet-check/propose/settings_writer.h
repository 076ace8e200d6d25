// Adding a row to a settings file without touching the rest of it.
#pragma once

#include <string>

// The settings text with the line key=value added to [Drivers] after its
// last row line (chipN=...), or after its header when it has none, or in a
// new [Drivers] section at the end when the text has none. Every other byte
// stays as it was: the new line takes the line end of the line it follows,
// and where that line is the last and has none, the new line goes before
// the end of the text rather than after it. False, with the reason, when
// the text holds [Drivers] more than once (the program reads only the first).
bool InsertDriverRow(const std::string& text, const std::string& key, const std::string& value,
                     std::string* result, std::string* error);

// Replaces the file at path with text: writes a temporary file beside it,
// flushes it to the disk and renames it over the old one, so that the path
// always names the old file or the new one, whole. False with the reason.
bool ReplaceFile(const std::string& path, const std::string& text, std::string* error);
