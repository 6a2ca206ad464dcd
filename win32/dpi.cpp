#include "win32/dpi.h"

#include "rules/twips.h"
#include "win32/system_function.h"
#include "win32/unique_handles.h"

namespace dravik {

UINT WindowDpi(HWND window)
{
    // Windows 10 1607 and later.
    using GetDpiForWindowFunction = UINT WINAPI(HWND);
    if (auto getDpiForWindow = SystemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow")) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    // Windows 8.1, where a per-monitor aware program learns its monitor's
    // DPI only so; the system's DPI would hold until the window is moved.
    // Programs aware of less get the DPI they are scaled for.
    using GetDpiForMonitorFunction = HRESULT WINAPI(HMONITOR, int, UINT*, UINT*);
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (auto getDpiForMonitor = SystemDllFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor")) {
        UINT dpiX = 0;
        UINT dpiY = 0;
        if (SUCCEEDED(getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &dpiX,
                                       &dpiY)) &&
            dpiY != 0) {
            return dpiY;
        }
    }
    const int dpi = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

void SetClientSizeInTwips(HWND window, int widthTwips, int heightTwips)
{
    const int dpi = static_cast<int>(WindowDpi(window));
    SetClientSize(window, TwipsToPixels(widthTwips, dpi), TwipsToPixels(heightTwips, dpi));
}

UniqueFont MessageFont(int dpi)
{
    NONCLIENTMETRICSW metrics = {};
    // Windows XP's size, as its headers declare it: XP refuses the larger
    // one of later headers, and later Windows accept this one.
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const int systemDpi = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, systemDpi);
    return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

void CentreOnWorkArea(HWND window)
{
    RECT frame;
    RECT work;
    GetWindowRect(window, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - (frame.right - frame.left)) / 2,
                 work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}

void SetClientSize(HWND window, int width, int height)
{
    const int dpi = static_cast<int>(WindowDpi(window));
    RECT frame = {0, 0, width, height};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));

    using AdjustForDpiFunction = BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT);
    auto adjustForDpi = SystemFunction<AdjustForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi));
    } else {
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace dravik
