// Resource identifiers, grouped by dialog.
#pragma once

#define IDI_PROGRAM 101
#define IDB_LOGO 102

// Detection dialog
#define IDD_DETECT 102
#define IDC_CHIP_NAME 1000
#define IDC_INSTALL_YES 1007
#define IDC_INSTALL_NO 1008
#define IDC_WELCOME 1012
#define IDC_CHIP_ON_BOARD 1013
#define IDC_ASK_INSTALL 1014

// Selection dialog
#define IDD_SELECT 103
#define IDC_DRIVER_LIST 1011
#define IDC_SELECT_ONE 1015

// Restart dialog
#define IDD_RESTART 104
#define IDC_RESTART_WELCOME 1012
#define IDC_RESTART_NOTE 1013
#define IDC_RESTART_ASK 1014
#define IDT_WAIT_SETUP 1000
