// Path helpers for the files beside the program.
#include "settings/paths.h"

#include "core/program_state.h"
#include "core/text.h"

static int IsSeparator(char c)
{
    return c == ':' || c == '\\';
}

int FolderPartLength(const char* path)
{
    int length = TextLength(path);
    if (length == 0 || IsSeparator(path[length - 1]))
        return -1;
    int i = length;
    while (i > 0 && !IsSeparator(path[i - 1]))
        --i;
    return i;
}

int JoinPath(char* destination, const char* folder, const char* name)
{
    int fits = CopyText(destination, folder, kPathSize);
    int length = TextLength(destination);
    if (fits && (length == 0 || destination[length - 1] != '\\'))
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
