// Sizing windows in twips for the DPI they are shown at.
#pragma once

#include <windows.h>

namespace dravik {

// The window's DPI where Windows reports it per window, else the system's.
UINT WindowDpi(HWND window);

// Resizes the window so that its client area measures the given pixels.
void SetClientSize(HWND window, int width, int height);

// Resizes the window so that its client area measures the given twips.
void SetClientSizeInTwips(HWND window, int widthTwips, int heightTwips);

}  // namespace dravik
