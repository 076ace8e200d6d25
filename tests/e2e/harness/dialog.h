// A dialog or message box of the program under test, as a scenario sees it:
// expectations about what it shows, and the user's actions on it. A failed
// expectation is reported and the scenario goes on; an action that cannot
// be done ends the scenario.
#pragma once

#include <string>
#include <vector>

#include "driver/window.h"
#include "harness/report.h"

// Control ids of the program's dialogs and of message boxes, as the user
// interface presents them.
enum ControlId {
    kOk = 1,          // OK, Install: the first button
    kExit = 2,        // Exit
    kYes = 6,         // message box buttons
    kNo = 7,
    kChipName = 1000,
    kInstallYes = 1007,
    kInstallNo = 1008,
    kDriverList = 1011,
    kWelcome = 1012,
    kChipOnBoard = 1013,
    kAskInstall = 1014,
    kSelectOne = 1015,
};

class Dialog {
public:
    Dialog(const Window& window, const std::string& name, Report& report);

    void ExpectText(int id, const std::string& expected);
    // The text of a message box.
    void ExpectMessage(const std::string& expected);
    void ExpectMessageContains(const std::string& part);
    void ExpectChecked(int id, bool checked);
    void ExpectEnabled(int id, bool enabled);
    void ExpectComboItems(int id, const std::vector<std::string>& items);
    void ExpectComboSelection(int id, int index);

    // Presses a button that does not end the dialog, such as a radio button.
    void Press(int id);
    // Presses a button that ends the dialog, or Escape, and waits until the
    // dialog has gone.
    void Choose(int id);
    void PressEscape();
    void SelectComboItem(int id, int index);
    void Minimize();
    void Restore();
    bool IsMinimized() const;

private:
    // Reads the value until it is as expected or a second has passed, then
    // reports the last value seen.
    template <typename T, typename Read>
    void ExpectSoon(const std::string& what, const T& expected, Read read);
    void ExpectGoneAfter(const std::string& action);

    Window window_;
    std::string name_;
    Report& report_;
};
