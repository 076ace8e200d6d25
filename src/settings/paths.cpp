// Path helpers for the files beside the program.
#include "settings/paths.h"

#include "core/program_state.h"
#include "core/text.h"

static int IsSeparator(char c)
{
    return c == ':' || c == '\\';
}

// Index of the last character of text, -1 when it is empty. The trail byte
// of a double-byte character may be a backslash's code and is no separator,
// so a path is walked from its start, character by character.
static int LastCharacter(const char* text)
{
    int last = -1;
    for (int i = 0; text[i] != '\0'; i += CharacterLength(text + i))
        last = i;
    return last;
}

int FolderPartLength(const char* path)
{
    int last = LastCharacter(path);
    if (last < 0 || IsSeparator(path[last]))
        return -1;
    int length = 0;
    for (int i = 0; i < last; i += CharacterLength(path + i)) {
        if (IsSeparator(path[i]))
            length = i + 1;
    }
    return length;
}

int JoinPath(char* destination, const char* folder, const char* name)
{
    int fits = CopyText(destination, folder, kPathSize);
    int last = LastCharacter(destination);
    if (fits && (last < 0 || destination[last] != '\\'))
        fits = AppendText(destination, "\\", kPathSize);
    if (fits)
        fits = AppendText(destination, name, kPathSize);
    if (!fits)
        destination[0] = '\0';
    return fits;
}

void GetModuleFolder()
{
    // Read into a buffer larger than the field, so that a path the field
    // cannot hold is seen whole and refused rather than silently cut.
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(ProgramState.Instance, path, sizeof path);
    char* folder = ProgramState.ModuleFolder;
    folder[0] = '\0';
    if (length == 0 || length >= kPathSize)
        return;
    path[length] = '\0';
    int cut = FolderPartLength(path);
    if (cut <= 0)
        return;
    path[cut] = '\0';
    if (path[cut - 1] == '\\')
        path[cut - 1] = '\0';
    CopyText(folder, path, kPathSize);
}
