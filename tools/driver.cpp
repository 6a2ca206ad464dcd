// dravik-driver.exe: lets a script act as the user, reading what the programs
// show and pressing their buttons.
//
//   dravik-driver wait-window <title part> <seconds>
//   dravik-driver wait-message <seconds>       prints the message box's contents
//   dravik-driver press <button caption> [<window title>]
//                                              presses it in the shown message box,
//                                              or in the window with that title
//   dravik-driver open <file>                  opens the file as the shell does
//   dravik-driver close <window title>         closes that window
#include "window_probe.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

const wchar_t* IconName(probe::MessageIcon icon)
{
    switch (icon) {
    case probe::MessageIcon::Error: return L"error";
    case probe::MessageIcon::Information: return L"information";
    case probe::MessageIcon::Other: return L"other";
    case probe::MessageIcon::None: break;
    }
    return L"none";
}

DWORD Milliseconds(const wchar_t* seconds)
{
    return static_cast<DWORD>(std::wcstoul(seconds, nullptr, 10) * 1000);
}

int Usage()
{
    std::fwprintf(stderr, L"usage: dravik-driver wait-window <title part> <seconds> | wait-message <seconds> | "
                          L"press <caption> [<window title>] | open <file> | close <window title>\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        return Usage();
    }
    const std::wstring command = argv[1];
    if (command == L"wait-window" && argc == 4) {
        const HWND window = probe::WaitForWindowTitled(argv[2], Milliseconds(argv[3]));
        if (window == nullptr) {
            std::fwprintf(stderr, L"no window titled \"%ls\" appeared\n", argv[2]);
            return 1;
        }
        std::wprintf(L"window: %ls\n", probe::WindowText(window).c_str());
        return 0;
    }
    if (command == L"wait-message" && argc == 3) {
        const HWND dialog = probe::WaitForMessageBox(0, Milliseconds(argv[2]));
        if (dialog == nullptr) {
            std::fwprintf(stderr, L"no message box appeared\n");
            return 1;
        }
        const probe::MessageBoxView view = probe::ReadMessageBox(dialog);
        std::wprintf(L"title: %ls\ntext: %ls\nicon: %ls\nbuttons:", view.title.c_str(), view.text.c_str(),
                     IconName(view.icon));
        for (const std::wstring& button : view.buttons) {
            std::wprintf(L" [%ls]", button.c_str());
        }
        std::wprintf(L"\n");
        return 0;
    }
    if (command == L"press" && (argc == 3 || argc == 4)) {
        const HWND window = argc == 4 ? probe::WaitForWindowTitled(argv[3], 0) : probe::FindMessageBox(0);
        if (window == nullptr || !probe::PressButton(window, argv[2])) {
            std::fwprintf(stderr, L"no window with a button \"%ls\"\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (command == L"close" && argc == 3) {
        const HWND window = probe::WaitForWindowTitled(argv[2], 0);
        if (window == nullptr) {
            std::fwprintf(stderr, L"no window titled \"%ls\"\n", argv[2]);
            return 1;
        }
        PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (command == L"open" && argc == 3) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        SHELLEXECUTEINFOW open = {};
        open.cbSize = sizeof open;
        open.fMask = SEE_MASK_NOASYNC;
        open.lpVerb = L"open";
        open.lpFile = argv[2];
        open.nShow = SW_SHOWNORMAL;
        if (!ShellExecuteExW(&open)) {
            std::fwprintf(stderr, L"the shell could not open %ls (error %lu)\n", argv[2], GetLastError());
            return 1;
        }
        return 0;
    }
    return Usage();
}
