// Watching a module's calls of a function it imports: its import table's
// slot for the function is pointed at a stand-in that calls the real one.
#pragma once

#include <windows.h>

// Points module's import of the function at real to replacement. False when
// module imports no function at that address or the slot cannot be written.
bool RedirectImport(HMODULE module, void* real, void* replacement);

// The address of an exported function, as a module's import slot holds it.
void* ExportedFunction(const char* library, const char* name);
