// Paths next to the program's own file: folder parts, joining, the module folder.
// Both the colon and the backslash separate path parts; the forward slash does
// not, nor does the trail byte of a double-byte character.
#pragma once

// Index just past the last colon or backslash of path: the length of its
// folder part with the separator kept. -1 when the path is empty or ends with
// a separator, 0 when it holds none.
int FolderPartLength(const char* path);

// Joins folder and name with one backslash between them into a destination
// of kPathSize bytes. A joined path that does not fit leaves the destination
// empty and returns 0; otherwise returns nonzero.
int JoinPath(char* destination, const char* folder, const char* name);

// Fills the module folder of the program state with the folder of the
// program's own file. A file path that does not fit leaves it empty: the
// program's folder is then unusable and nothing is read from it.
void GetModuleFolder();
