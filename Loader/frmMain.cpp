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

// What the loader says where it started no game, or the game played nothing.
const wchar_t* OutcomeText(PlayOutcome outcome)
{
    switch (outcome) {
    case PlayOutcome::AlreadyPlaying:
        return L"A demo is already playing in the game. Quit the game first, then open this demo again.";
    case PlayOutcome::AnotherPreparing:
        return L"Dravik is still preparing another demo for the game. Wait until the game plays it, quit the game, "
               L"then open this demo again.";
    case PlayOutcome::PlayingForAnotherAccount:
        return L"A demo is already playing in this game for another Windows account, or in a game run as "
               L"administrator. Quit that game first, then open this demo again.";
    case PlayOutcome::GameAlreadyRunning:
        return L"UT2003 was already running, so it did not play this demo. Quit the game, then open the demo again.";
    case PlayOutcome::Played:
    case PlayOutcome::Cancelled: break;
    }
    return nullptr;
}
constexpr wchar_t kWindowClass[] = L"DravikLoader";

// The empty window's client area.
constexpr int kWidthTwips = 6585;
constexpr int kHeightTwips = 11835;

}  // namespace

int frmMain::Run(const std::wstring& argument)
{
    PlayOutcome outcome = PlayOutcome::Played;
    if (RunReported(nullptr, kErrorTitlePrefix, [&] { outcome = Form_Load(argument); })) {
        return static_cast<int>(outcome);
    }
    ShowUntilClosed();
    return kErrorExitCode;
}

PlayOutcome frmMain::Form_Load(const std::wstring& argument)
{
    const PlayOutcome outcome = PlayDemo(ReadSettingsRecord(), argument);
    if (outcome == PlayOutcome::Played) {
        MessageBoxW(nullptr, kThanksText, kHomePage, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    } else if (const wchar_t* text = OutcomeText(outcome)) {
        MessageBoxW(nullptr, text, L"Dravik", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    }
    return outcome;
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
