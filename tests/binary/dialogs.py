"""The dialog templates as the program needs them, control by control."""

WS_CHILD, WS_VISIBLE, WS_CAPTION = 0x40000000, 0x10000000, 0x00C00000
WS_VSCROLL, WS_GROUP, WS_TABSTOP = 0x00200000, 0x00020000, 0x00010000
DS_SYSMODAL, DS_SETFONT, DS_CONTROL = 0x02, 0x40, 0x400
BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_AUTORADIOBUTTON, BS_GROUPBOX = 0, 1, 9, 7
BS_NOTIFY = 0x4000
SS_LEFT, SS_CENTER, SS_BLACKFRAME, SS_BITMAP = 0, 1, 7, 0x0E
CBS_DROPDOWNLIST = 3
CHILD = WS_CHILD | WS_VISIBLE
IDB_LOGO = 102


def control(ident, kind, text, rect, style):
    return dict(id=ident, kind=kind, text=text, rect=rect, style=CHILD | style)


def dialog(caption, size, style, controls):
    return dict(style=style, exstyle=0, rect=size, menu='', window_class='', caption=caption,
                font=(8, 'MS Sans Serif'), controls=controls)


WELCOME = 'Welcome to Korvel QELMAP Driver Installation Program.'

EXPECTED_DIALOGS = {
    102: dialog('AGP QELMAP Driver Detection', (254, 222),
                WS_VISIBLE | WS_CAPTION | DS_CONTROL | DS_SETFONT | DS_SYSMODAL, [
        control(1, 'BUTTON', '&OK', (145, 189, 54, 16), WS_TABSTOP | BS_PUSHBUTTON),
        control(2, 'BUTTON', '&Exit', (58, 189, 54, 16), WS_TABSTOP | BS_DEFPUSHBUTTON | BS_NOTIFY),
        control(1007, 'BUTTON', 'Yes, install its QELMAP driver.', (49, 134, 140, 10),
                WS_GROUP | BS_AUTORADIOBUTTON),
        control(1008, 'BUTTON', 'No. I want to select the other drivers.', (49, 149, 172, 10),
                BS_AUTORADIOBUTTON),
        control(1012, 'STATIC', WELCOME, (97, 16, 137, 23), WS_GROUP | SS_LEFT),
        control(1013, 'STATIC', 'The chipset on your motherboard is:', (36, 51, 181, 23),
                WS_GROUP | SS_LEFT),
        control(-1, 'BUTTON', '', (37, 72, 175, 30), BS_GROUPBOX),
        control(1000, 'STATIC', 'Unknown (not in list)', (50, 84, 154, 12), WS_GROUP | SS_CENTER),
        control(1014, 'STATIC', 'Do you want to install its QELMAP driver?', (33, 117, 165, 8),
                WS_GROUP | SS_LEFT),
        control(-1, 'STATIC', IDB_LOGO, (16, 16, 67, 20), SS_BITMAP),
        control(-1, 'STATIC', '', (37, 174, 175, 1), SS_BLACKFRAME),
    ]),
    103: dialog('AGP QELMAP Driver Selection', (238, 136), WS_VISIBLE | WS_CAPTION | DS_SETFONT, [
        control(1, 'BUTTON', '&Install', (129, 105, 54, 16), WS_TABSTOP | BS_PUSHBUTTON),
        control(-1, 'STATIC', '', (29, 95, 174, 1), SS_BLACKFRAME),
        control(2, 'BUTTON', '&Exit', (39, 105, 54, 16), WS_TABSTOP | BS_PUSHBUTTON),
        control(1015, 'STATIC', 'Please select one QELMAP driver to install:', (20, 47, 201, 13),
                WS_GROUP | SS_LEFT),
        control(1011, 'COMBOBOX', '', (33, 67, 159, 68),
                WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST),
        control(-1, 'STATIC', IDB_LOGO, (18, 16, 57, 17), SS_BITMAP),
    ]),
    104: dialog('Restart Windows', (254, 154), WS_CAPTION | DS_SETFONT | DS_SYSMODAL, [
        control(1, 'BUTTON', '&OK', (140, 116, 54, 16), WS_TABSTOP | BS_PUSHBUTTON),
        control(2, 'BUTTON', '&Exit', (59, 116, 54, 16), WS_TABSTOP | BS_DEFPUSHBUTTON | BS_NOTIFY),
        control(1012, 'STATIC', WELCOME, (97, 16, 137, 23), WS_GROUP | SS_LEFT),
        control(1013, 'STATIC',
                'Before you can use the program, you must restart your Windows or your computer.',
                (36, 51, 191, 29), WS_GROUP | SS_LEFT),
        control(1014, 'STATIC', 'Do you want to restart your computer now ?', (35, 87, 199, 22),
                WS_GROUP | SS_LEFT),
        control(-1, 'STATIC', IDB_LOGO, (16, 16, 67, 20), SS_BITMAP),
    ]),
}
