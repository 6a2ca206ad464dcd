// What Dravik.exe does when it is started with an argument: its handlers,
// which show the outcome and return the program's exit code.
#pragma once

#include <string>

namespace dravik {

// /uninstall: one message saying what was removed, or what is left.
int UninstallCommand();

// An argument it does not know: an error message, and nothing changed.
int UnknownArgumentCommand(const std::wstring& arguments);

}  // namespace dravik
