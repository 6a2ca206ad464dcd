// Dravik.exe: the setup tool, run once to find the game and register demos;
// with /uninstall, removes that again.
#include "error_message.h"
#include "frmMain.h"
#include "setup_error.h"
#include "setup_rules.h"
#include "uninstall.h"

#include <commctrl.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showState)
{
    switch (dravik::ParseSetupArguments(arguments)) {
    case dravik::SetupCommand::Uninstall:
        return dravik::Uninstall();
    case dravik::SetupCommand::Unknown:
        dravik::ShowErrorMessage(nullptr, dravik::kSetupErrorTitlePrefix,
                                 std::wstring(L"Dravik.exe does not know the argument \"") + arguments +
                                     L"\". Run it without arguments to set Dravik up, or with /uninstall to "
                                     L"remove what it registered.");
        return 2;
    case dravik::SetupCommand::Window:
        break;
    }

    // The window's buttons and boxes come from version 6 of the common
    // controls, named in the manifest, which Windows XP loads only when the
    // program uses it.
    InitCommonControls();
    return dravik::frmMain(instance).Run(showState);
}
