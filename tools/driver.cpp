// dravik-driver.exe: lets a script act as the user, reading what the programs
// show and pressing their buttons.
//
//   dravik-driver wait-window <title part> <seconds>
//   dravik-driver wait-message <seconds>       prints the message box's contents
//   dravik-driver press <button caption>       presses it in the shown message box
#include "window_probe.h"

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
    std::fwprintf(stderr, L"usage: dravik-driver wait-window <title part> <seconds> | wait-message <seconds> | press <caption>\n");
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
    if (command == L"press" && argc == 3) {
        const HWND dialog = probe::FindMessageBox(0);
        if (dialog == nullptr || !probe::PressButton(dialog, argv[2])) {
            std::fwprintf(stderr, L"no message box with a button \"%ls\"\n", argv[2]);
            return 1;
        }
        return 0;
    }
    return Usage();
}
