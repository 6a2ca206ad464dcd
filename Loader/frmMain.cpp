#include "frmMain.h"

#include "maker.h"
#include "play_demo.h"
#include "win32/app_window_class.h"
#include "win32/dpi.h"
#include "win32/error_message.h"
#include "win32/failure.h"
#include "win32/settings_reading.h"

namespace dravik {

namespace {

constexpr wchar_t kErrorTitlePrefix[] = L"Please debugreport to ";
constexpr wchar_t kThanksText[] = L"Nice demo, isn't it? :))";
constexpr wchar_t kAlreadyPlayingText[] =
    L"A demo is already playing in the game. Quit the game first, then open this demo again.";
constexpr wchar_t kGameAlreadyRunningText[] =
    L"UT2003 was already running, so it did not play this demo. Quit the game, then open the demo again.";
constexpr wchar_t kWindowClass[] = L"DravikLoader";

// The empty window's client area.
constexpr int kWidthTwips = 6585;
constexpr int kHeightTwips = 11835;

}  // namespace

int frmMain::Run(const std::wstring& argument)
{
    if (RunReported(nullptr, kErrorTitlePrefix, [&] { Form_Load(argument); })) {
        return 0;
    }
    ShowUntilClosed();
    return 1;
}

void frmMain::Form_Load(const std::wstring& argument)
{
    const PlayOutcome outcome = PlayDemo(ReadSettingsRecord(), argument);
    if (outcome == PlayOutcome::AlreadyPlaying || outcome == PlayOutcome::GameAlreadyRunning) {
        MessageBoxW(nullptr, outcome == PlayOutcome::AlreadyPlaying ? kAlreadyPlayingText : kGameAlreadyRunningText,
                    L"Dravik", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
        return;
    }
    MessageBoxW(nullptr, kThanksText, kHomePage, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}

void frmMain::ShowUntilClosed()
{
    if (!RegisterAppWindowClass(instance_, kWindowClass, WindowProc)) {
        return;
    }
    const HWND window = CreateWindowExW(0, kWindowClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, nullptr);
    if (window == nullptr) {
        return;
    }
    SetClientSizeInTwips(window, kWidthTwips, kHeightTwips);
    ShowWindow(window, showState_);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK frmMain::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_DPICHANGED) {
        // Moved to a screen of another DPI: take the size Windows suggests.
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace dravik
