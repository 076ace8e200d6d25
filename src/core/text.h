// Bounded operations on NUL-terminated 8-bit texts. The program links no C
// runtime, and every buffer it owns has a fixed size that these respect.
#pragma once

int TextLength(const char* text);

// Bytes of the character that starts at text: 2 for a double-byte
// character's lead byte followed by its trail byte, otherwise 1.
int CharacterLength(const char* text);

// Copies source into destination of the given size. A source that does not
// fit is cut, never in the middle of a double-byte character. Returns
// nonzero when the whole source fitted.
int CopyText(char* destination, const char* source, int size);

// Nonzero when both texts hold the same bytes.
int TextsEqual(const char* a, const char* b);

// Appends source to destination; returns nonzero when the whole source fitted
// in size bytes. On overflow, destination is cut as CopyText would cut it.
int AppendText(char* destination, const char* source, int size);
