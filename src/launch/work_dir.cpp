// The working folder of a setup program: the folder part of its command,
// joined to the program's own folder.
#include "launch/work_dir.h"

#include "core/program_state.h"
#include "core/text.h"
#include "settings/paths.h"

WorkFolderResult WorkFolderForCommand(char* folder, const char* moduleFolder, const char* command)
{
    folder[0] = '\0';
    int cut = FolderPartLength(command);
    if (cut < 0)
        return WorkFolderNone;
    // The folder part without the backslash that ends it; a colon stays.
    // FolderPartLength cuts just after a separator, never inside a
    // double-byte character, so command[cut - 1] is that separator.
    int partLength = cut > 0 && command[cut - 1] == '\\' ? cut - 1 : cut;
    if (partLength >= kPathSize)
        return WorkFolderTooLong;
    int fits;
    if (partLength == 0) {
        fits = CopyText(folder, moduleFolder, kPathSize);
    } else {
        char folderPart[kPathSize];
        CopyText(folderPart, command, partLength + 1);
        fits = JoinPath(folder, moduleFolder, folderPart);
    }
    if (!fits) {
        folder[0] = '\0';
        return WorkFolderTooLong;
    }
    return WorkFolderMade;
}
