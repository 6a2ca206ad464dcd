#include "frmMain.h"

#include "app_window_class.h"
#include "dpi.h"
#include "error_message.h"
#include "exec_script_file.h"
#include "failure.h"
#include "game_lock.h"
#include "game_paths.h"
#include "loader_rules.h"
#include "maker.h"
#include "mdlMain.h"
#include "settings_record.h"
#include "window_dlls.h"

#include <new>

namespace dravik {

namespace {

constexpr wchar_t kErrorTitlePrefix[] = L"Please debugreport to ";
constexpr wchar_t kThanksText[] = L"Nice demo, isn't it? :))";
constexpr wchar_t kNotSetUpText[] =
    L"Dravik is not set up yet: run Dravik.exe, confirm the path of UT2003.exe and press READY, "
    L"then open the demo again.";
constexpr wchar_t kAlreadyPlayingText[] =
    L"A demo is already playing in the game. Quit the game first, then open this demo again.";
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
    const SettingsRecord settings = ReadSettingsRecord();
    if (settings.Path.empty() || settings.General.empty()) {
        throw Failure(kNotSetUpText);
    }
    const std::string script = ExecScriptBytes(AbsoluteDemoArgument(argument));

    GameLock lock;
    if (!lock.TryTake(settings.General)) {
        MessageBoxW(nullptr, kAlreadyPlayingText, L"Dravik", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
        return;
    }
    WriteExecScript(ExecScriptPath(settings.General), script);

    DWORD exitCode = 0;
    // The game inherits the lock and keeps it for as long as it runs.
    const DWORD error = RunAndWait(GameCommandLine(settings.Path), GameWorkingFolder(settings.General), SW_SHOWNORMAL,
                                   exitCode, LoadWindowDlls, true);
    lock.Release();
    if (error != ERROR_SUCCESS) {
        throw Failure(GameStartFailureText(error, SystemErrorText(error, settings.Path.c_str())));
    }
    if (IsErrorStatus(exitCode)) {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        throw Failure(GameEndedText(exitCode, StatusMeaning(MessageTableText(ntdll, exitCode))));
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
