// The setup window: proposes the path of UT2003.exe, and on READY stores the
// settings record and registers .dem files, then closes.
#pragma once

#include "win32/unique_handles.h"

#include <windows.h>

#include <string>

namespace dravik {

class frmMain {
public:
    explicit frmMain(HINSTANCE instance) : instance_(instance) {}

    // Shows the window and runs it until it closes; returns the exit code:
    // kReadyDone after a READY that did all it said, kErrorExitCode where the
    // window was closed after an error, kClosed where it was closed before any.
    int Run(int showState);
    static constexpr int kReadyDone = 0;
    static constexpr int kErrorExitCode = 1;
    static constexpr int kClosed = 3;

private:
    void Create();
    void Layout(int dpi);
    void Form_Load();
    void butReady_Click();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND txtPath_ = nullptr;
    HWND label2_ = nullptr;
    HWND label3_ = nullptr;
    UniqueFont lucida_;
    UniqueFont textBoxFont_;
    bool readyDone_ = false;
    bool failed_ = false;
};

}  // namespace dravik
