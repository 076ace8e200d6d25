// Reading and driving another process's window through messages.
#include "driver/window.h"

namespace {

const UINT kAnswerTimeoutMs = 5000;

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result)
{
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                               result) != 0;
}

// Across processes, combo box item texts come back in Unicode only.
bool SendWide(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result)
{
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                               result) != 0;
}

// The answer is NUL-terminated; its length is not trusted across processes.
std::string WindowText(HWND window)
{
    char text[1024];
    text[0] = '\0';
    DWORD_PTR ignored;
    if (window == nullptr ||
        !Send(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), &ignored))
        return std::string();
    text[sizeof text - 1] = '\0';
    return text;
}

std::string ToAnsi(const wchar_t* text)
{
    char converted[1024];
    int length = WideCharToMultiByte(CP_ACP, 0, text, -1, converted, sizeof converted, nullptr, nullptr);
    return length > 0 ? std::string(converted, length - 1) : std::string();
}

int SendForInt(HWND window, UINT message, WPARAM wParam)
{
    DWORD_PTR result = 0;
    if (window == nullptr || !Send(window, message, wParam, 0, &result))
        return -1;
    return static_cast<int>(static_cast<LRESULT>(result));
}

}  // namespace

Window::Window(HWND handle) : handle_(handle) {}

bool Window::Exists() const
{
    return handle_ != nullptr && IsWindow(handle_);
}

bool Window::IsVisible() const
{
    return IsWindowVisible(handle_) != 0;
}

bool Window::IsMinimized() const
{
    return IsIconic(handle_) != 0;
}

RECT Window::Rect() const
{
    RECT rect = {};
    GetWindowRect(handle_, &rect);
    return rect;
}

std::string Window::Caption() const
{
    return WindowText(handle_);
}

HWND Window::Control(int id) const
{
    return GetDlgItem(handle_, id);
}

bool Window::HasControl(int id) const
{
    return Control(id) != nullptr;
}

std::string Window::ControlText(int id) const
{
    return WindowText(Control(id));
}

std::string Window::MessageText() const
{
    const int kTextId = 0xFFFF;
    const int kOlderWineTextId = 100;
    return ControlText(HasControl(kTextId) ? kTextId : kOlderWineTextId);
}

bool Window::IsChecked(int id) const
{
    return SendForInt(Control(id), BM_GETCHECK, 0) == BST_CHECKED;
}

bool Window::IsEnabled(int id) const
{
    HWND control = Control(id);
    return control != nullptr && IsWindowEnabled(control);
}

int Window::ComboCount(int id) const
{
    return SendForInt(Control(id), CB_GETCOUNT, 0);
}

int Window::ComboSelection(int id) const
{
    return SendForInt(Control(id), CB_GETCURSEL, 0);
}

std::string Window::ComboItem(int id, int index) const
{
    HWND combo = Control(id);
    DWORD_PTR length = 0;
    wchar_t text[512];
    const size_t capacity = sizeof text / sizeof text[0];
    if (combo == nullptr || !SendWide(combo, CB_GETLBTEXTLEN, index, 0, &length) ||
        static_cast<LRESULT>(length) < 0 || length >= capacity)
        return std::string();
    text[0] = L'\0';
    DWORD_PTR ignored;
    if (!SendWide(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text), &ignored))
        return std::string();
    text[capacity - 1] = L'\0';
    return ToAnsi(text);
}

bool Window::Press(int id) const
{
    HWND button = Control(id);
    DWORD_PTR ignored;
    return button != nullptr && Send(button, BM_CLICK, 0, 0, &ignored);
}

bool Window::PressEscape() const
{
    // Repeat count 1, scan code of Escape (1); the modal loop's
    // IsDialogMessage turns it into WM_COMMAND with IDCANCEL.
    const LPARAM kEscapeKeyData = 0x00010001;
    return PostMessageA(handle_, WM_KEYDOWN, VK_ESCAPE, kEscapeKeyData) != 0;
}

bool Window::SelectComboItem(int id, int index) const
{
    return SendForInt(Control(id), CB_SETCURSEL, index) == index;
}

void Window::Minimize() const
{
    ShowWindow(handle_, SW_MINIMIZE);
}

void Window::Restore() const
{
    ShowWindow(handle_, SW_RESTORE);
}

bool Window::Settle() const
{
    DWORD_PTR ignored;
    return Send(handle_, WM_NULL, 0, 0, &ignored);
}
