// The loader's only window. Its load handler does the whole job: write the
// exec script, start the game, wait for it, thank the user. The window itself
// is created only after an error, empty, and stays until the user closes it.
#pragma once

#include "play_demo.h"

#include <windows.h>

#include <string>

namespace dravik {

class frmMain {
public:
    frmMain(HINSTANCE instance, int showState) : instance_(instance), showState_(showState) {}

    // Runs the load handler with the loader's argument string; returns the
    // program's exit code: the outcome's (play_demo.h), or kErrorExitCode
    // after the error message.
    int Run(const std::wstring& argument);
    static constexpr int kErrorExitCode = 1;

private:
    PlayOutcome Form_Load(const std::wstring& argument);
    void ShowUntilClosed();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    int showState_;
};

}  // namespace dravik
