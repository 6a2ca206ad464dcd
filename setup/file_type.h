// Registering .dem files with the shell so that opening one starts loader.exe.
#pragma once

#include <string>

namespace dravik {

// Writes .dem -> dravikfile, its icon and its open command for every user
// where Windows allows it, else for the current user alone; fails when
// neither can be written. Tells the shell that associations changed.
void RegisterDemoFileType(const std::wstring& gameFolder, const std::wstring& programFolder);

}  // namespace dravik
