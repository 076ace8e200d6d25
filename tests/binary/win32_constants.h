// The Windows constants that the binary checks compare against, spelled as
// the Windows headers spell them so that the expected tables read like a
// resource script. The host build has no windows.h of its own.
#pragma once

#include <cstdint>

// Image headers
constexpr std::uint16_t IMAGE_FILE_MACHINE_I386 = 0x014C;
constexpr std::uint16_t IMAGE_FILE_DLL = 0x2000;
constexpr std::uint16_t IMAGE_NT_OPTIONAL_HDR32_MAGIC = 0x010B;
constexpr std::uint16_t IMAGE_SUBSYSTEM_WINDOWS_GUI = 2;

// Resource types
constexpr std::uint16_t RT_BITMAP = 2;
constexpr std::uint16_t RT_ICON = 3;
constexpr std::uint16_t RT_DIALOG = 5;
constexpr std::uint16_t RT_GROUP_ICON = 14;
constexpr std::uint16_t RT_VERSION = 16;
constexpr std::uint32_t BI_RGB = 0;

// Version resources
constexpr std::uint32_t VOS__WINDOWS32 = 0x00000004;
constexpr std::uint32_t VFT_APP = 0x00000001;
constexpr std::uint32_t VFT_DLL = 0x00000002;

// Window styles
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_CAPTION = 0x00C00000;
constexpr std::uint32_t WS_VSCROLL = 0x00200000;
constexpr std::uint32_t WS_GROUP = 0x00020000;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;

// Dialog styles
constexpr std::uint32_t DS_SYSMODAL = 0x0002;
constexpr std::uint32_t DS_SETFONT = 0x0040;
constexpr std::uint32_t DS_CONTROL = 0x0400;

// Control styles
constexpr std::uint32_t BS_PUSHBUTTON = 0x0000;
constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x0001;
constexpr std::uint32_t BS_GROUPBOX = 0x0007;
constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x0009;
constexpr std::uint32_t BS_NOTIFY = 0x4000;
constexpr std::uint32_t SS_LEFT = 0x0000;
constexpr std::uint32_t SS_CENTER = 0x0001;
constexpr std::uint32_t SS_BLACKFRAME = 0x0007;
constexpr std::uint32_t SS_BITMAP = 0x000E;
constexpr std::uint32_t CBS_DROPDOWNLIST = 0x0003;

// Control ids and predefined window-class atoms
constexpr std::uint16_t IDOK = 1;
constexpr std::uint16_t IDCANCEL = 2;
constexpr std::uint16_t IDC_STATIC = 0xFFFF;  // -1 as the template's 16-bit id
constexpr std::uint16_t ATOM_BUTTON = 0x0080;
constexpr std::uint16_t ATOM_STATIC = 0x0082;
constexpr std::uint16_t ATOM_COMBOBOX = 0x0085;
