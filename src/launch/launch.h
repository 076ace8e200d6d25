// Starting the chosen driver package's setup program.
#pragma once

enum LaunchOutcome {
    LaunchNotSupported,      // the driver does not support this Windows; nothing started
    LaunchStarted,           // the setup program was started
    LaunchStartedWithRestart,  // started, and the row asks for a restart afterwards
    LaunchFailed,            // the command could not be started; the user was told
};

// Checks row's support flags against the running Windows, makes the
// package's folder the current folder and starts the row's command. A
// command whose folder cannot be made current is not started, and is
// reported as one that could not be started.
// row must be a loaded row of the driver table.
LaunchOutcome LaunchDriver(int row);

// Makes the command's folder part joined to the module folder the current
// folder (see WorkFolderForCommand). A command that ends with a separator
// leaves the current folder as it is, and a failing folder change goes
// unnoticed. Returns 0, changing nothing, when the folder does not fit in a
// path buffer; otherwise nonzero.
int SetWorkDirForCommand(const char* command);
