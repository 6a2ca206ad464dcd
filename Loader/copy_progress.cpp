#include "copy_progress.h"

#include "rules/text_join.h"
#include "win32/app_window_class.h"
#include "win32/dpi.h"

#include <commctrl.h>

namespace dravik {

namespace {

constexpr wchar_t kWindowClass[] = L"DravikCopy";
constexpr DWORD kShowAfterMs = 1000;
constexpr int kBarSteps = 1000;

// In pixels at 96 dpi, as Windows' dialogs are laid out.
constexpr int kMargin = 11;
constexpr int kWidth = 380;
constexpr int kGap = 7;
constexpr int kBarHeight = 15;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

}  // namespace

CopyProgress::~CopyProgress()
{
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

bool CopyProgress::Copied(ULONGLONG done, ULONGLONG total)
{
    if (window_ == nullptr && GetTickCount() - begun_ >= kShowAfterMs) {
        Show();
    }
    if (window_ != nullptr) {
        SendMessageW(bar_, PBM_SETPOS, total == 0 ? 0 : static_cast<WPARAM>(done * kBarSteps / total), 0);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(window_, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    return !cancelled_;
}

void CopyProgress::Show()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    RegisterAppWindowClass(instance, kWindowClass, WindowProc);
    window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kWindowClass, L"Dravik", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (window_ == nullptr) {
        return;
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    text_ = CreateWindowExW(0, L"STATIC", Text().c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_EDITCONTROL, 0, 0, 0,
                            0, window_, nullptr, instance, nullptr);
    bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_, nullptr, instance,
                           nullptr);
    SendMessageW(bar_, PBM_SETRANGE32, 0, kBarSteps);
    cancel_ = CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0,
                              0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), instance, nullptr);
    Layout(static_cast<int>(WindowDpi(window_)));

    CentreOnWorkArea(window_);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    SetFocus(cancel_);
    // Painted now: its messages are handled only between chunks.
    UpdateWindow(window_);
}

std::wstring CopyProgress::Text() const
{
    return Join({L"Dravik is copying the demo ", demo_,
                 L" into the game's folder, where the game can read it. The game starts when the copy is done."});
}

void CopyProgress::Layout(int dpi)
{
    const auto pixels = [dpi](int at96) { return MulDiv(at96, dpi, USER_DEFAULT_SCREEN_DPI); };
    UniqueFont font = MessageFont(dpi);
    const int width = pixels(kWidth) - 2 * pixels(kMargin);

    // The text's height for the width it has, wrapped as the control wraps it.
    RECT textBox = {0, 0, width, 0};
    {
        const WindowDc dc(text_);
        const SelectedObject selected(dc.get(), font.get());
        const std::wstring text = Text();
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &textBox,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
    }
    int top = pixels(kMargin);
    SetWindowPos(text_, nullptr, pixels(kMargin), top, width, textBox.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    top += textBox.bottom + pixels(kGap);
    SetWindowPos(bar_, nullptr, pixels(kMargin), top, width, pixels(kBarHeight), SWP_NOZORDER | SWP_NOACTIVATE);
    top += pixels(kBarHeight) + pixels(kGap);
    SetWindowPos(cancel_, nullptr, pixels(kMargin) + width - pixels(kButtonWidth), top, pixels(kButtonWidth),
                 pixels(kButtonHeight), SWP_NOZORDER | SWP_NOACTIVATE);
    top += pixels(kButtonHeight) + pixels(kMargin);
    for (const HWND control : {text_, cancel_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    font_ = std::move(font);
    SetClientSize(window_, pixels(kWidth), top);
}

LRESULT CALLBACK CopyProgress::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* progress = reinterpret_cast<CopyProgress*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_COMMAND:
        if (progress != nullptr && LOWORD(wParam) == IDCANCEL) {
            progress->cancelled_ = true;
        }
        return 0;
    case WM_CLOSE:
        if (progress != nullptr) {
            progress->cancelled_ = true;
        }
        return 0;
    case WM_DPICHANGED:
        if (progress != nullptr) {
            progress->Layout(HIWORD(wParam));
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace dravik
