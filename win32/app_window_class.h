// The window class both programs' windows use: the application icon in both
// sizes, the arrow cursor and the dialog colour.
#pragma once

#include <windows.h>

namespace dravik {

bool RegisterAppWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC windowProc);

}  // namespace dravik
