// Finding another program's windows and message boxes, reading them and
// pressing their buttons: what a user sees and does, through the Win32 API.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace probe {

// Asks find() every 50 ms until it answers something true (a window, true, a
// filled optional) or the time is up, and returns its last answer. The one
// way the tests wait for another program.
template <typename Find>
auto WaitFor(DWORD timeoutMs, Find find) -> decltype(find())
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        auto found = find();
        if (found || GetTickCount64() >= deadline) {
            return found;
        }
        Sleep(50);
    }
}

enum class MessageIcon { None, Error, Information, Other };

struct MessageBoxView {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    std::vector<std::wstring> buttons;  // visible buttons' captions, in order
    MessageIcon icon = MessageIcon::None;
};

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

// Visible top-level windows of a process (any process for 0).
std::vector<HWND> TopLevelWindows(DWORD processId);

// A visible message box (dialog class #32770) of the process, or null.
HWND FindMessageBox(DWORD processId);

// Waits for a message box of the process; null when none came in time.
HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs);

// Waits for a visible top-level window whose title contains the text.
HWND WaitForWindowTitled(const std::wstring& part, DWORD timeoutMs);

MessageBoxView ReadMessageBox(HWND dialog);

// Clicks the dialog's button with that caption; false when there is none.
bool PressButton(HWND dialog, const std::wstring& caption);

// Clicks the dialog's button with that id (IDOK), whatever it says in the
// language of Windows; false when there is none.
bool PressButtonWithId(HWND dialog, int id);

std::vector<HWND> ChildWindows(HWND parent);

// What a device context (the screen's, or a memory one) shows at a rectangle,
// as 32-bit pixels (0x00RRGGBB), top row first.
std::vector<DWORD> Capture(HDC source, int x, int y, int width, int height);

// Whether the window shows the icon, drawn at size x size pixels, near its
// top left corner (where a title bar carries it).
bool ShowsIcon(HWND window, HICON icon, int size);

// Saves what the screen shows around the window (its frame and a margin) as a
// 32-bit BMP file, for a person to look at.
bool SaveScreenshot(HWND window, const std::wstring& path);

}  // namespace probe
