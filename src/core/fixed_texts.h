// The few texts the program shows that do not come from the settings file:
// they report that the settings file or the system itself failed.
#pragma once

// What the detection dialog shows when no row was detected.
#define TEXT_UNKNOWN_CHIP "Unknown (not in list)"

#define TEXT_CANNOT_OPEN_INITIAL_FILE "Cannot open initial file"
#define CAPTION_FILE_NOT_FOUND "File not found"

// wsprintfA format; receives the command of the chosen driver row.
#define TEXT_SETUP_NOT_STARTED "The driver's setup program could not be started:\r\n\r\n%s"
#define CAPTION_SETUP_NOT_STARTED "Setup not started"

#define TEXT_RESTART_REFUSED \
    "Windows did not allow the restart. Please restart your computer yourself."
#define CAPTION_RESTART_REFUSED "Restart Windows"
