// The dialog templates as the program's dialogs are designed: one table per
// dialog, one row per control in template order. Every control is a visible
// child with extended style 0 and no creation data; the dialogs themselves
// have extended style 0, no menu, no class and the 8 point "MS Sans Serif".
#include "expected_dialogs.h"

#include "win32_constants.h"

namespace {

constexpr std::uint16_t IDD_DETECT = 102;
constexpr std::uint16_t IDD_SELECT = 103;
constexpr std::uint16_t IDD_RESTART = 104;
constexpr std::uint16_t IDB_LOGO = 102;

constexpr std::uint16_t IDC_CHIP_NAME = 1000;
constexpr std::uint16_t IDC_INSTALL_YES = 1007;
constexpr std::uint16_t IDC_INSTALL_NO = 1008;
constexpr std::uint16_t IDC_DRIVER_LIST = 1011;
constexpr std::uint16_t IDC_WELCOME = 1012;
constexpr std::uint16_t IDC_CHIP_ON_BOARD = 1013;
constexpr std::uint16_t IDC_ASK_INSTALL = 1014;
constexpr std::uint16_t IDC_SELECT_ONE = 1015;
constexpr std::uint16_t IDC_RESTART_WELCOME = 1012;
constexpr std::uint16_t IDC_RESTART_NOTE = 1013;
constexpr std::uint16_t IDC_RESTART_ASK = 1014;

constexpr std::uint32_t kVisibleChild = WS_CHILD | WS_VISIBLE;

NameOrOrdinal Text(const char* text)
{
    return NameOrOrdinal::Text(text);
}

// An empty title is stored as a lone 0 word, the same as "no title".
const NameOrOrdinal kEmpty = NameOrOrdinal::None();
// The static bitmaps name their bitmap by ordinal in the title field.
const NameOrOrdinal kLogo = NameOrOrdinal::Ordinal(IDB_LOGO);

const std::vector<ExpectedDialog> kDialogs = {
    {IDD_DETECT, "AGP QELMAP Driver Detection", {0, 0, 254, 222},
     WS_VISIBLE | WS_CAPTION | DS_CONTROL | DS_SETFONT | DS_SYSMODAL,
     {
         {IDOK, ATOM_BUTTON, Text("&OK"), {145, 189, 54, 16},
          kVisibleChild | WS_TABSTOP | BS_PUSHBUTTON},
         {IDCANCEL, ATOM_BUTTON, Text("&Exit"), {58, 189, 54, 16},
          kVisibleChild | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_NOTIFY},
         {IDC_INSTALL_YES, ATOM_BUTTON, Text("Yes, install its QELMAP driver."), {49, 134, 140, 10},
          kVisibleChild | WS_GROUP | BS_AUTORADIOBUTTON},
         {IDC_INSTALL_NO, ATOM_BUTTON, Text("No. I want to select the other drivers."), {49, 149, 172, 10},
          kVisibleChild | BS_AUTORADIOBUTTON},
         {IDC_WELCOME, ATOM_STATIC, Text("Welcome to Korvel QELMAP Driver Installation Program."),
          {97, 16, 137, 23}, kVisibleChild | WS_GROUP | SS_LEFT},
         {IDC_CHIP_ON_BOARD, ATOM_STATIC, Text("The chipset on your motherboard is:"), {36, 51, 181, 23},
          kVisibleChild | WS_GROUP | SS_LEFT},
         {IDC_STATIC, ATOM_BUTTON, kEmpty, {37, 72, 175, 30}, kVisibleChild | BS_GROUPBOX},
         {IDC_CHIP_NAME, ATOM_STATIC, Text("Unknown (not in list)"), {50, 84, 154, 12},
          kVisibleChild | WS_GROUP | SS_CENTER},
         {IDC_ASK_INSTALL, ATOM_STATIC, Text("Do you want to install its QELMAP driver?"), {33, 117, 165, 8},
          kVisibleChild | WS_GROUP | SS_LEFT},
         {IDC_STATIC, ATOM_STATIC, kLogo, {16, 16, 67, 20}, kVisibleChild | SS_BITMAP},
         {IDC_STATIC, ATOM_STATIC, kEmpty, {37, 174, 175, 1}, kVisibleChild | SS_BLACKFRAME},
     }},
    {IDD_SELECT, "AGP QELMAP Driver Selection", {0, 0, 238, 136},
     WS_VISIBLE | WS_CAPTION | DS_SETFONT,
     {
         {IDOK, ATOM_BUTTON, Text("&Install"), {129, 105, 54, 16},
          kVisibleChild | WS_TABSTOP | BS_PUSHBUTTON},
         {IDC_STATIC, ATOM_STATIC, kEmpty, {29, 95, 174, 1}, kVisibleChild | SS_BLACKFRAME},
         {IDCANCEL, ATOM_BUTTON, Text("&Exit"), {39, 105, 54, 16},
          kVisibleChild | WS_TABSTOP | BS_PUSHBUTTON},
         {IDC_SELECT_ONE, ATOM_STATIC, Text("Please select one QELMAP driver to install:"), {20, 47, 201, 13},
          kVisibleChild | WS_GROUP | SS_LEFT},
         {IDC_DRIVER_LIST, ATOM_COMBOBOX, kEmpty, {33, 67, 159, 68},
          kVisibleChild | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST},
         {IDC_STATIC, ATOM_STATIC, kLogo, {18, 16, 57, 17}, kVisibleChild | SS_BITMAP},
     }},
    {IDD_RESTART, "Restart Windows", {0, 0, 254, 154},
     WS_CAPTION | DS_SETFONT | DS_SYSMODAL,
     {
         {IDOK, ATOM_BUTTON, Text("&OK"), {140, 116, 54, 16},
          kVisibleChild | WS_TABSTOP | BS_PUSHBUTTON},
         {IDCANCEL, ATOM_BUTTON, Text("&Exit"), {59, 116, 54, 16},
          kVisibleChild | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_NOTIFY},
         {IDC_RESTART_WELCOME, ATOM_STATIC, Text("Welcome to Korvel QELMAP Driver Installation Program."),
          {97, 16, 137, 23}, kVisibleChild | WS_GROUP | SS_LEFT},
         {IDC_RESTART_NOTE, ATOM_STATIC,
          Text("Before you can use the program, you must restart your Windows or your computer."),
          {36, 51, 191, 29}, kVisibleChild | WS_GROUP | SS_LEFT},
         {IDC_RESTART_ASK, ATOM_STATIC, Text("Do you want to restart your computer now ?"), {35, 87, 199, 22},
          kVisibleChild | WS_GROUP | SS_LEFT},
         {IDC_STATIC, ATOM_STATIC, kLogo, {16, 16, 67, 20}, kVisibleChild | SS_BITMAP},
     }},
};

}  // namespace

const ExpectedDialog* FindExpectedDialog(std::uint16_t id)
{
    for (const ExpectedDialog& dialog : kDialogs) {
        if (dialog.id == id) {
            return &dialog;
        }
    }
    return nullptr;
}
