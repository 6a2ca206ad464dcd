// setup_window.exe: the setup window and nothing else, the floor dravik-bench
// compares Dravik.exe's start with. The same manifest (common controls 6,
// per-monitor DPI) and icon, the same six controls with their texts, fonts
// and colours, the same size, centred on the work area, and the text box
// filled; but no registry, no shell, no COM. It runs until closed.
#include "maker.h"

#include <windows.h>
#include <commctrl.h>

namespace {

struct Control {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;  // pixels at 96 dpi
};

const Control kControls[] = {
    {L"BUTTON", L"If textfield below is empty then paste the path to ut2003.exe and press the button", BS_GROUPBOX, 0,
     8, 0, 529, 97},
    {L"EDIT", L"C:\\Bench\\Game\\System\\UT2003.exe", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 24, 24, 505, 22},
    {L"BUTTON", L"READY", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 24, 56, 505, 25},
    {L"STATIC", dravik::kMakerLine, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 8, 112, 409, 17},
    {L"STATIC", dravik::kContactAddress, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 400, 104, 137, 25},
    {L"STATIC", dravik::kHomePage, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 400, 120, 145, 17},
};
constexpr int kEditIndex = 1;
constexpr int kFirstRedIndex = 4;

HWND red[2];

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        if (reinterpret_cast<HWND>(lParam) == red[0] || reinterpret_cast<HWND>(lParam) == red[1]) {
            SetTextColor(dc, RGB(0xFF, 0, 0));
        }
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showState)
{
    // Windows XP shows the version 6 controls only with it.
    InitCommonControls();

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"DravikBenchSetupWindow";
    RegisterClassExW(&windowClass);

    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto pixels = [dpi](int at96) { return MulDiv(at96, dpi, 96); };

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame = {0, 0, pixels(544), pixels(138)};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_ACCEPTFILES);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const HWND window = CreateWindowExW(WS_EX_ACCEPTFILES, windowClass.lpszClassName, L"Setup floor", style,
                                        work.left + (work.right - work.left - width) / 2,
                                        work.top + (work.bottom - work.top - height) / 2, width, height, nullptr,
                                        nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }

    // Lucida Sans Unicode 8.25 pt, the text box in the system's message font.
    const HFONT lucida = CreateFontW(-MulDiv(825, dpi, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                     L"Lucida Sans Unicode");
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT messageFont = CreateFontIndirectW(&metrics.lfMessageFont);
    HWND edit = nullptr;
    for (int i = 0; i < static_cast<int>(sizeof kControls / sizeof kControls[0]); ++i) {
        const Control& control = kControls[i];
        const HWND child = CreateWindowExW(control.exStyle, control.className, control.text,
                                           WS_CHILD | WS_VISIBLE | control.style, pixels(control.left),
                                           pixels(control.top), pixels(control.width), pixels(control.height), window,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), instance, nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(i == kEditIndex ? messageFont : lucida), FALSE);
        if (i == kEditIndex) {
            edit = child;
        }
        if (i >= kFirstRedIndex) {
            red[i - kFirstRedIndex] = child;
        }
    }
    ShowWindow(window, showState);
    SetFocus(edit);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    DeleteObject(lucida);
    DeleteObject(messageFont);
    return 0;
}
