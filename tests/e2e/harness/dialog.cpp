// Expectations and actions on one dialog of the program under test.
#include "harness/dialog.h"

#include "driver/wait.h"

namespace {

const DWORD kSettleMs = 1000;
const DWORD kCloseMs = 10000;

std::string Show(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string Show(int number)
{
    return std::to_string(number);
}

std::string Show(bool yes)
{
    return yes ? "yes" : "no";
}

std::string Show(const std::vector<std::string>& items)
{
    std::string shown = "[";
    for (const std::string& item : items)
        shown += (shown.size() > 1 ? ", " : "") + Show(item);
    return shown + "]";
}

std::string Control(int id)
{
    return "control " + std::to_string(id);
}

}  // namespace

Dialog::Dialog(const Window& window, const std::string& name, Report& report)
    : window_(window), name_(name), report_(report)
{
}

template <typename T, typename Read>
void Dialog::ExpectSoon(const std::string& what, const T& expected, Read read)
{
    T seen{};
    WaitUntil(
        [&] {
            seen = read();
            return seen == expected;
        },
        kSettleMs);
    if (!(seen == expected))
        report_.Fail(name_ + ", " + what + ": expected " + Show(expected) + ", saw " + Show(seen));
}

void Dialog::ExpectText(int id, const std::string& expected)
{
    ExpectSoon(Control(id) + " text", expected, [&] { return window_.ControlText(id); });
}

void Dialog::ExpectMessage(const std::string& expected)
{
    ExpectSoon("message", expected, [&] { return window_.MessageText(); });
}

void Dialog::ExpectMessageContains(const std::string& part)
{
    std::string message = window_.MessageText();
    if (message.find(part) == std::string::npos)
        report_.Fail(name_ + ": the message " + Show(message) + " does not contain " + Show(part));
}

void Dialog::ExpectChecked(int id, bool checked)
{
    ExpectSoon(Control(id) + " checked", checked, [&] { return window_.IsChecked(id); });
}

void Dialog::ExpectEnabled(int id, bool enabled)
{
    ExpectSoon(Control(id) + " enabled", enabled, [&] { return window_.IsEnabled(id); });
}

void Dialog::ExpectComboItems(int id, const std::vector<std::string>& items)
{
    ExpectSoon(Control(id) + " list", items, [&] {
        std::vector<std::string> seen;
        int count = window_.ComboCount(id);
        for (int i = 0; i < count; ++i)
            seen.push_back(window_.ComboItem(id, i));
        return seen;
    });
}

void Dialog::ExpectComboSelection(int id, int index)
{
    ExpectSoon(Control(id) + " selection", index, [&] { return window_.ComboSelection(id); });
}

void Dialog::Press(int id)
{
    if (!window_.Press(id))
        report_.Abort(name_ + ": cannot press " + Control(id));
}

void Dialog::Choose(int id)
{
    Press(id);
    ExpectGoneAfter("pressing " + Control(id));
}

void Dialog::PressEscape()
{
    if (!window_.PressEscape())
        report_.Abort(name_ + ": cannot press Escape");
    ExpectGoneAfter("Escape");
}

void Dialog::ExpectGoneAfter(const std::string& action)
{
    if (!WaitUntil([&] { return !window_.Exists() || !window_.IsVisible(); }, kCloseMs))
        report_.Abort(name_ + " is still open 10 s after " + action);
}

void Dialog::SelectComboItem(int id, int index)
{
    if (!window_.SelectComboItem(id, index))
        report_.Abort(name_ + ": cannot select item " + std::to_string(index) + " of " + Control(id));
}

void Dialog::Minimize()
{
    window_.Minimize();
}

void Dialog::Restore()
{
    window_.Restore();
}

bool Dialog::IsMinimized() const
{
    return window_.IsMinimized();
}
