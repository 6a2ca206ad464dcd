// Dravik.exe: the setup tool, run once to find the game and register demos;
// with /uninstall, removes that again.
#include "commands.h"
#include "frmMain.h"
#include "rules/setup_rules.h"

#include <commctrl.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showState)
{
    switch (dravik::ParseSetupArguments(arguments)) {
    case dravik::SetupCommand::Uninstall:
        return dravik::UninstallCommand();
    case dravik::SetupCommand::Unknown:
        return dravik::UnknownArgumentCommand(arguments);
    case dravik::SetupCommand::Window:
        break;
    }

    // The window's buttons and boxes come from version 6 of the common
    // controls, named in the manifest, which Windows XP loads only when the
    // program uses it.
    InitCommonControls();
    return dravik::frmMain(instance).Run(showState);
}
