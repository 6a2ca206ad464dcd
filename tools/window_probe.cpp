#include "window_probe.h"

#include <algorithm>

namespace probe {

namespace {

std::wstring Caption(const std::wstring& text)
{
    // "&OK" and "OK" are the same caption to a user.
    std::wstring caption = text;
    caption.erase(std::remove(caption.begin(), caption.end(), L'&'), caption.end());
    return caption;
}

// The icon drawn at the given size on a plain background.
std::vector<DWORD> Render(HICON icon, int width, int height, DWORD background)
{
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    const HBRUSH brush = CreateSolidBrush(RGB(GetBValue(background), GetGValue(background), GetRValue(background)));
    const RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    std::vector<DWORD> pixels = Capture(memory, 0, 0, width, height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace

bool SaveScreenshot(HWND window, const std::wstring& path)
{
    RECT rect;
    GetWindowRect(window, &rect);
    InflateRect(&rect, 20, 20);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    std::vector<DWORD> pixels = Capture(screen, rect.left, rect.top, width, height);
    ReleaseDC(nullptr, screen);
    // Opaque: the screen's pixels carry no alpha, which viewers would take
    // for transparent.
    for (DWORD& pixel : pixels) {
        pixel |= 0xFF000000u;
    }

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    const DWORD bytes = static_cast<DWORD>(pixels.size() * sizeof(DWORD));
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    const HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool saved = WriteFile(out, &file, sizeof file, &written, nullptr) &&
                       WriteFile(out, &info, sizeof info, &written, nullptr) &&
                       WriteFile(out, pixels.data(), bytes, &written, nullptr);
    CloseHandle(out);
    return saved;
}

namespace {

MessageIcon ShownIcon(HWND dialog)
{
    for (const HWND child : ChildWindows(dialog)) {
        if (ClassName(child) != L"Static" || (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON ||
            !IsWindowVisible(child)) {
            continue;
        }
        RECT rect;
        GetWindowRect(child, &rect);
        const int width = GetSystemMetrics(SM_CXICON);
        const int height = GetSystemMetrics(SM_CYICON);
        const HDC screen = GetDC(nullptr);
        const std::vector<DWORD> shown = Capture(screen, rect.left, rect.top, width, height);
        ReleaseDC(nullptr, screen);
        const DWORD background = shown.front() & 0xFFFFFF;  // an icon's corner is see-through
        const std::vector<DWORD> error = Render(LoadIconW(nullptr, IDI_ERROR), width, height, background);
        const std::vector<DWORD> information = Render(LoadIconW(nullptr, IDI_INFORMATION), width, height, background);
        const auto same = [](const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
            return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                              [](DWORD x, DWORD y) { return (x & 0xFFFFFF) == (y & 0xFFFFFF); });
        };
        if (same(shown, error)) {
            return MessageIcon::Error;
        }
        if (same(shown, information)) {
            return MessageIcon::Information;
        }
        return MessageIcon::Other;
    }
    return MessageIcon::None;
}

// Icons belong to the process that loaded them, so the one a message box
// shows is told apart by its pixels on the screen. On a slow machine the box
// may be found before it is painted: an icon that is neither is looked at
// again for a while.
MessageIcon IconOf(HWND dialog)
{
    MessageIcon icon = MessageIcon::None;
    WaitFor(5000, [&] { return (icon = ShownIcon(dialog)) != MessageIcon::Other; });
    return icon;
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

std::vector<DWORD> Capture(HDC source, int x, int y, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HDC memory = CreateCompatibleDC(source);
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    std::vector<DWORD> copy(pixels, pixels + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return copy;
}

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

bool PressButtonWithId(HWND dialog, int id)
{
    const HWND button = GetDlgItem(dialog, id);
    if (button == nullptr || ClassName(button) != L"Button") {
        return false;
    }
    PostMessageW(button, BM_CLICK, 0, 0);
    return true;
}

bool ShowsIcon(HWND window, HICON icon, int size)
{
    // Pixels that come out the same on black and on white are the icon's own;
    // the rest are see-through and show whatever lies beneath.
    const std::vector<DWORD> onBlack = Render(icon, size, size, 0x000000);
    const std::vector<DWORD> onWhite = Render(icon, size, size, 0xFFFFFF);

    RECT rect;
    GetWindowRect(window, &rect);
    const int width = std::min<int>(rect.right - rect.left, 8 * size);
    const int height = std::min<int>(rect.bottom - rect.top, 3 * size);
    const HDC screen = GetDC(nullptr);
    const std::vector<DWORD> shown = Capture(screen, rect.left, rect.top, width, height);
    ReleaseDC(nullptr, screen);

    for (int top = 0; top + size <= height; ++top) {
        for (int left = 0; left + size <= width; ++left) {
            bool match = true;
            for (int y = 0; y < size && match; ++y) {
                for (int x = 0; x < size && match; ++x) {
                    const DWORD own = onBlack[y * size + x] & 0xFFFFFF;
                    if (own == (onWhite[y * size + x] & 0xFFFFFF)) {
                        match = own == (shown[(top + y) * width + left + x] & 0xFFFFFF);
                    }
                }
            }
            if (match) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace probe
