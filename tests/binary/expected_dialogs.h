// What the three dialog templates of PYXET.EXE must hold, field by field.
#pragma once

#include "dialog_template.h"

#include <cstdint>
#include <string>
#include <vector>

struct ExpectedControl {
    std::uint16_t id;
    std::uint16_t classAtom;
    NameOrOrdinal title;
    DialogRect rect;
    std::uint32_t style;
};

struct ExpectedDialog {
    std::uint16_t id;
    std::string caption;
    DialogRect rect;
    std::uint32_t style;
    std::vector<ExpectedControl> controls;
};

constexpr std::uint16_t kDialogPointSize = 8;
constexpr const char* kDialogFace = "MS Sans Serif";

// The expected template for RT_DIALOG id, or nullptr when there is none.
const ExpectedDialog* FindExpectedDialog(std::uint16_t id);
