// The command-line tail that the entry point hands to WinMain.
#pragma once

// What follows the program's own name and the run of characters 0x01-0x20
// after it. A quoted name runs to its closing quote, included, or to the end;
// a double-byte character's lead byte takes its trail byte with it.
const char* CommandLineTail(const char* commandLine);
