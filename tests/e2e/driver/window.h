// A top-level window of the program under test, seen from another process:
// its texts and states are read, and its buttons pressed, with messages that
// Wine and Windows carry across processes. Every message has a timeout, so a
// hung program cannot hang the test.
#pragma once

#include <windows.h>

#include <string>

class Window {
public:
    explicit Window(HWND handle = nullptr);

    HWND Handle() const { return handle_; }
    bool Exists() const;
    bool IsVisible() const;
    bool IsMinimized() const;
    RECT Rect() const;

    std::string Caption() const;
    bool HasControl(int id) const;
    std::string ControlText(int id) const;
    // The text of a message box: control 0xFFFF on Windows and current
    // Wine, 100 on older Wine.
    std::string MessageText() const;
    bool IsChecked(int id) const;
    bool IsEnabled(int id) const;
    int ComboCount(int id) const;
    int ComboSelection(int id) const;
    std::string ComboItem(int id, int index) const;

    // Clicks a button (BM_CLICK, as a mouse click would); false when the
    // window has no such control or does not answer.
    bool Press(int id) const;
    // Sends the Escape key the way the keyboard delivers it, so that the
    // dialog manager turns it into what Escape means for this dialog.
    bool PressEscape() const;
    bool SelectComboItem(int id, int index) const;
    void Minimize() const;
    void Restore() const;

    // Returns once the window's thread has handled everything sent before,
    // WM_INITDIALOG included; false when it does not answer.
    bool Settle() const;

private:
    HWND Control(int id) const;
    HWND handle_;
};
