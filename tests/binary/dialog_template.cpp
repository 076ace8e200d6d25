// Reads the plain (DLGTEMPLATE) dialog-template form: a fixed header, three
// variable fields (menu, class, caption), the font when DS_SETFONT is set, and
// the controls, each starting on a 4-byte boundary.
#include "dialog_template.h"

#include "byte_view.h"
#include "findings.h"
#include "win32_constants.h"

namespace {

constexpr std::uint16_t kExtendedSignature = 0xFFFF;
constexpr std::uint16_t kOrdinalMarker = 0xFFFF;

NameOrOrdinal ReadNameOrOrdinal(const ByteView& view, std::size_t& at)
{
    const std::uint16_t first = view.u16(at);
    if (first == 0) {
        at += 2;
        return NameOrOrdinal::None();
    }
    if (first == kOrdinalMarker) {
        const std::uint16_t ordinal = view.u16(at + 2);
        at += 4;
        return NameOrOrdinal::Ordinal(ordinal);
    }
    return NameOrOrdinal::Text(view.wideString(at));
}

DialogRect ReadRect(const ByteView& view, std::size_t at)
{
    return {view.i16(at), view.i16(at + 2), view.i16(at + 4), view.i16(at + 6)};
}

DialogControl ReadControl(const ByteView& view, std::size_t& at)
{
    at = (at + 3) & ~std::size_t{3};
    DialogControl control;
    control.style = view.u32(at);
    control.extendedStyle = view.u32(at + 4);
    control.rect = ReadRect(view, at + 8);
    control.id = view.u16(at + 16);
    at += 18;
    control.windowClass = ReadNameOrOrdinal(view, at);
    control.title = ReadNameOrOrdinal(view, at);
    control.creationDataSize = view.u16(at);
    at += 2 + control.creationDataSize;
    return control;
}

}  // namespace

bool operator==(const NameOrOrdinal& a, const NameOrOrdinal& b)
{
    return a.kind == b.kind && a.ordinal == b.ordinal && a.text == b.text;
}

std::ostream& operator<<(std::ostream& out, const NameOrOrdinal& value)
{
    switch (value.kind) {
    case NameOrOrdinal::Kind::None:
        return out << "none";
    case NameOrOrdinal::Kind::Ordinal:
        return out << "ordinal " << value.ordinal << " (" << Hex(value.ordinal) << ")";
    case NameOrOrdinal::Kind::Text:
        break;
    }
    return out << "text " << Quoted(value.text);
}

bool operator==(const DialogRect& a, const DialogRect& b)
{
    return a.x == b.x && a.y == b.y && a.cx == b.cx && a.cy == b.cy;
}

std::ostream& operator<<(std::ostream& out, const DialogRect& rect)
{
    return out << rect.x << ", " << rect.y << ", " << rect.cx << ", " << rect.cy;
}

DialogTemplate ParseDialogTemplate(const std::vector<std::uint8_t>& resource)
{
    const ByteView view(resource);
    DialogTemplate dialog;
    // DLGTEMPLATEEX starts with version 1 and signature 0xFFFF.
    if (view.u16(0) == 1 && view.u16(2) == kExtendedSignature) {
        dialog.extended = true;
        return dialog;
    }
    dialog.style = view.u32(0);
    dialog.extendedStyle = view.u32(4);
    dialog.controlCount = view.u16(8);
    dialog.rect = ReadRect(view, 10);
    std::size_t at = 18;
    dialog.menu = ReadNameOrOrdinal(view, at);
    dialog.windowClass = ReadNameOrOrdinal(view, at);
    dialog.caption = view.wideString(at);
    dialog.hasFont = (dialog.style & DS_SETFONT) != 0;
    if (dialog.hasFont) {
        dialog.pointSize = view.u16(at);
        at += 2;
        dialog.face = view.wideString(at);
    }
    for (std::uint16_t i = 0; i < dialog.controlCount; ++i) {
        dialog.controls.push_back(ReadControl(view, at));
    }
    return dialog;
}
