// Localized texts: the country code, and lookups in the settings file with
// the fallback to section "1".
#pragma once

#include "core/program_state.h"

// Reads the user's country code ("iCountry" in section "Intl" of the system
// profile) into the program state; "0" when the profile has none.
void ReadCountryCode();

// Builds the settings path on first use. Returns nonzero when the settings
// file's path is usable; an unusable module folder leaves it empty.
int EnsureSettingsPath();

// Copies the text for key into destination (size bytes, 256 unless stated),
// from the user's section, or from section "1" when that has it empty or not
// at all. A text that does not fit is cut.
void LookupText(const char* key, char* destination, int size = kTextSize);

// Set a window's caption or a dialog control's text to the text for key.
void LocalizeCaption(HWND window, const char* key);
void LocalizeDlgItem(HWND dialog, int controlId, const char* key);
