// Replaces a window's or a control's text by its localized text.
#include "settings/texts.h"

void LocalizeCaption(HWND window, const char* key)
{
    char text[kTextSize];
    LookupText(key, text);
    SetWindowTextA(window, text);
}

void LocalizeDlgItem(HWND dialog, int controlId, const char* key)
{
    char text[kTextSize];
    LookupText(key, text);
    SetDlgItemTextA(dialog, controlId, text);
}
