// The small window that shows a long copy of the demo and lets the user
// cancel it. It appears only once the copy has taken a second, and runs on
// the loader's one thread: the copy pumps its messages between chunks.
#pragma once

#include "win32/unique_handles.h"

#include <windows.h>

#include <string>

namespace dravik {

class CopyProgress {
public:
    explicit CopyProgress(std::wstring demo) : demo_(std::move(demo)) {}
    ~CopyProgress();
    CopyProgress(const CopyProgress&) = delete;
    CopyProgress& operator=(const CopyProgress&) = delete;

    // After each chunk: shows the window once a second has passed since the
    // copy began, moves its bar, and handles what the user did meanwhile.
    // False once the user has cancelled.
    bool Copied(ULONGLONG done, ULONGLONG total);

private:
    void Show();
    // What the window says; the demo's path may be long.
    std::wstring Text() const;
    void Layout(int dpi);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::wstring demo_;
    DWORD begun_ = GetTickCount();
    HWND window_ = nullptr;
    HWND text_ = nullptr;
    HWND bar_ = nullptr;
    HWND cancel_ = nullptr;
    UniqueFont font_;
    bool cancelled_ = false;
};

}  // namespace dravik
