// Country code and localized text lookup.
#include "settings/texts.h"

#include "core/text.h"
#include "settings/paths.h"

static const char kSettingsFileName[] = "Pyxet.ini";
static const char kFallbackSection[] = "1";

void ReadCountryCode()
{
    GetProfileStringA("Intl", "iCountry", "0", ProgramState.CountryCode, kCountrySize);
}

int EnsureSettingsPath()
{
    if (ProgramState.SettingsPath[0] == '\0' && ProgramState.ModuleFolder[0] != '\0')
        JoinPath(ProgramState.SettingsPath, ProgramState.ModuleFolder, kSettingsFileName);
    return ProgramState.SettingsPath[0] != '\0';
}

void LookupText(const char* key, char* destination, int size)
{
    char text[kTextSize];
    text[0] = '\0';
    if (EnsureSettingsPath()) {
        GetPrivateProfileStringA(ProgramState.CountryCode, key, "", text, kTextSize,
                                 ProgramState.SettingsPath);
        if (text[0] == '\0')
            GetPrivateProfileStringA(kFallbackSection, key, "", text, kTextSize,
                                     ProgramState.SettingsPath);
    }
    CopyText(destination, text, size);
}
