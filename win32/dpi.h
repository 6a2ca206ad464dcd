// Sizing windows in twips for the DPI they are shown at, and placing them.
#pragma once

#include "win32/unique_handles.h"

#include <windows.h>

// Windows XP's headers lack what later versions added for DPI; there the
// message never comes and the default is what every screen has.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef USER_DEFAULT_SCREEN_DPI
#define USER_DEFAULT_SCREEN_DPI 96
#endif

namespace dravik {

// The window's DPI where Windows reports it per window, else the system's.
UINT WindowDpi(HWND window);

// Resizes the window so that its client area measures the given pixels.
void SetClientSize(HWND window, int width, int height);

// Resizes the window so that its client area measures the given twips.
void SetClientSizeInTwips(HWND window, int widthTwips, int heightTwips);

// The system's message font, scaled from the system's DPI to the given one.
UniqueFont MessageFont(int dpi);

// Moves the window to the middle of the screen's work area.
void CentreOnWorkArea(HWND window);

}  // namespace dravik
