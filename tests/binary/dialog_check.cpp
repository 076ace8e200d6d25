// Dialog template check: each RT_DIALOG of the program must be, field by
// field, the template its dialog procedure was written for.
#include "checks.h"

#include "dialog_template.h"
#include "expected_dialogs.h"
#include "win32_constants.h"

namespace {

std::string ControlLabel(std::size_t index, std::uint16_t id)
{
    const std::string idText = id == IDC_STATIC ? "-1" : std::to_string(id);
    return "control " + std::to_string(index + 1) + " (id " + idText + "): ";
}

void CheckControl(const DialogControl& actual, const ExpectedControl& expected, const std::string& label,
                  Findings& findings)
{
    findings.expectEqual(label + "id", actual.id, expected.id);
    findings.expectEqual(label + "window class", actual.windowClass, NameOrOrdinal::Ordinal(expected.classAtom));
    findings.expectEqual(label + "title", actual.title, expected.title);
    findings.expectEqual(label + "x, y, cx, cy", actual.rect, expected.rect);
    findings.expectBits(label + "style", actual.style, expected.style);
    findings.expectBits(label + "extended style", actual.extendedStyle, 0);
    findings.expectEqual(label + "creation data size", actual.creationDataSize, std::uint16_t{0});
}

void CheckHeader(const DialogTemplate& actual, const ExpectedDialog& expected, Findings& findings)
{
    findings.expectBits("style", actual.style, expected.style);
    findings.expectBits("extended style", actual.extendedStyle, 0);
    findings.expectEqual("control count", actual.controlCount, static_cast<std::uint16_t>(expected.controls.size()));
    findings.expectEqual("x, y, cx, cy", actual.rect, expected.rect);
    findings.expectEqual("menu", actual.menu, NameOrOrdinal::None());
    findings.expectEqual("class", actual.windowClass, NameOrOrdinal::None());
    findings.expectEqual("caption", Quoted(actual.caption), Quoted(expected.caption));
    if (!actual.hasFont) {
        findings.add("has no font (DS_SETFONT is clear)");
        return;
    }
    findings.expectEqual("font point size", actual.pointSize, kDialogPointSize);
    findings.expectEqual("font face", Quoted(actual.face), Quoted(kDialogFace));
}

}  // namespace

void CheckDialog(const PeImage& image, std::uint16_t id, Findings& findings)
{
    const ExpectedDialog* expected = FindExpectedDialog(id);
    if (!expected) {
        findings.add("no expected table for dialog " + std::to_string(id));
        return;
    }
    const std::optional<std::vector<std::uint8_t>> resource = image.resource(RT_DIALOG, id);
    if (!resource) {
        findings.add("has no RT_DIALOG " + std::to_string(id));
        return;
    }
    const DialogTemplate actual = ParseDialogTemplate(*resource);
    if (actual.extended) {
        findings.add("RT_DIALOG " + std::to_string(id) + " is a DIALOGEX template, not the plain DIALOG form");
        return;
    }
    CheckHeader(actual, *expected, findings);
    for (std::size_t i = 0; i < actual.controls.size() && i < expected->controls.size(); ++i) {
        CheckControl(actual.controls[i], expected->controls[i], ControlLabel(i, expected->controls[i].id), findings);
    }
}
