#include "window_probe.h"

#include <algorithm>

namespace probe {

namespace {

constexpr DWORD kPollMs = 50;

template <typename Predicate>
HWND WaitFor(DWORD timeoutMs, Predicate find)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (const HWND found = find()) {
            return found;
        }
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(kPollMs);
    }
}

std::wstring Caption(const std::wstring& text)
{
    // "&OK" and "OK" are the same caption to a user.
    std::wstring caption = text;
    caption.erase(std::remove(caption.begin(), caption.end(), L'&'), caption.end());
    return caption;
}

// Message boxes show the system's own icons; compare against the same ones.
MessageIcon IconOf(HWND dialog)
{
    for (const HWND child : ChildWindows(dialog)) {
        if (ClassName(child) != L"Static" || (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
            continue;
        }
        const HICON icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        if (icon == nullptr) {
            continue;
        }
        if (icon == LoadIconW(nullptr, IDI_ERROR)) {
            return MessageIcon::Error;
        }
        if (icon == LoadIconW(nullptr, IDI_INFORMATION)) {
            return MessageIcon::Information;
        }
        return MessageIcon::Other;
    }
    return MessageIcon::None;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search.processId == 0 || owner == search.processId) && IsWindowVisible(window)) {
        search.found.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

}  // namespace

std::wstring WindowText(HWND window)
{
    const int length = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = static_cast<int>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
    text.resize(static_cast<std::size_t>(std::max(0, copied)));
    return text;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[256];
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(std::max(0, length)));
}

std::vector<HWND> TopLevelWindows(DWORD processId)
{
    WindowSearch search{processId, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND FindMessageBox(DWORD processId)
{
    for (const HWND window : TopLevelWindows(processId)) {
        if (ClassName(window) == L"#32770") {
            return window;
        }
    }
    return nullptr;
}

HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs)
{
    return WaitFor(timeoutMs, [processId] { return FindMessageBox(processId); });
}

HWND WaitForWindowTitled(const std::wstring& part, DWORD timeoutMs)
{
    return WaitFor(timeoutMs, [&part]() -> HWND {
        for (const HWND window : TopLevelWindows(0)) {
            if (WindowText(window).find(part) != std::wstring::npos) {
                return window;
            }
        }
        return nullptr;
    });
}

MessageBoxView ReadMessageBox(HWND dialog)
{
    MessageBoxView view;
    view.window = dialog;
    view.title = WindowText(dialog);
    // A message box's text is the static control with the id 0xFFFF.
    if (const HWND text = GetDlgItem(dialog, 0xFFFF)) {
        view.text = WindowText(text);
    }
    for (const HWND child : ChildWindows(dialog)) {
        if (ClassName(child) == L"Button" && IsWindowVisible(child)) {
            view.buttons.push_back(Caption(WindowText(child)));
        }
    }
    view.icon = IconOf(dialog);
    return view;
}

bool PressButton(HWND dialog, const std::wstring& caption)
{
    for (const HWND child : ChildWindows(dialog)) {
        if (ClassName(child) == L"Button" && Caption(WindowText(child)) == caption) {
            PostMessageW(child, BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}

}  // namespace probe
