// Registering .dem files with the shell so that opening one starts
// loader.exe, and removing that registration again.
#pragma once

#include <string>

namespace dravik {

// Writes .dem -> dravikfile, dravikfile in .dem's "Open with" list, its icon
// and its open command for every user where Windows allows it, else for the
// current user alone; fails when neither can be written. Tells the shell
// that associations changed.
void RegisterDemoFileType(const std::wstring& gameFolder, const std::wstring& programFolder);

// The program the user chose for .dem files in the shell (Windows 8 and
// later), when that is another one than Dravik's: Windows then keeps opening
// demos with it whatever is registered. Empty otherwise.
std::wstring OtherProgramChosenForDemos();

// What UnregisterDemoFileType found and removed, in any of the places the
// registration may be.
struct RemovedRegistration {
    bool association = false;  // .dem -> dravikfile
    bool openWith = false;     // dravikfile in .dem's "Open with" list
    bool fileType = false;     // the dravikfile key
};

// Removes the registration, keeping any association of .dem with another
// program. Fails on the first refusal, having tried every place.
RemovedRegistration UnregisterDemoFileType();

}  // namespace dravik
