// The folder a driver row's setup program starts in.
#pragma once

enum WorkFolderResult {
    WorkFolderTooLong = -1,  // the folder does not fit in a path buffer
    WorkFolderNone = 0,      // the command names no folder: it is empty or ends with a separator
    WorkFolderMade = 1,      // the folder was written
};

// Writes into folder (kPathSize bytes) the command's folder part (its text up
// to its last colon or backslash, arguments included, double-byte characters
// respected) joined to moduleFolder, without a trailing backslash. Only the
// folder part counts toward the path's size, never what follows it.
WorkFolderResult WorkFolderForCommand(char* folder, const char* moduleFolder, const char* command);
