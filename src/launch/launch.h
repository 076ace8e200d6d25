// Starting the chosen driver package's setup program.
#pragma once

enum LaunchOutcome {
    LaunchNotSupported,      // the driver does not support this Windows; nothing started
    LaunchStarted,           // the setup program was started
    LaunchStartedWithRestart,  // started, and the row asks for a restart afterwards
    LaunchFailed,            // the command could not be started; the user was told
};

// Checks row's support flags against the running Windows, makes the
// package's folder the current folder and starts the row's command.
// row must be a loaded row of the driver table.
LaunchOutcome LaunchDriver(int row);

// Makes the folder part of the module folder joined with command the current
// folder. A joined path that does not fit, or one that ends with a separator,
// leaves the current folder as it is; a failing folder change goes unnoticed.
void SetWorkDirForCommand(const char* command);
