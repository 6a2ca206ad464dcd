// Dravik.exe: the setup tool, run once to find the game and register demos;
// with /uninstall, removes that again.
#include "com_apartment.h"
#include "commands.h"
#include "dll_search.h"
#include "frmMain.h"
#include "setup_rules.h"

#include <commctrl.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showState)
{
    dravik::RestrictDllSearch();

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
    // The text box's path completion is a COM object.
    const dravik::ComApartment com;
    return dravik::frmMain(instance).Run(showState);
}
