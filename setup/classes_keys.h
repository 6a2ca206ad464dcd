// The two real keys behind HKEY_CLASSES_ROOT, and the rule for which of them
// the registration goes to.
//
// HKEY_CLASSES_ROOT is a merged view: HKLM\Software\Classes for every user
// and HKCU\Software\Classes for this user, the user's winning wherever a key
// exists in both. Writes and deletes through the view land in one of them by
// rules of Windows' own, so Dravik writes and deletes in the real keys only:
// - every user's, when Windows lets this account write there;
// - and this user's as well wherever it already holds .dem or dravikfile
//   (left there by anyone), which would shadow every user's;
// - this user's alone when every user's is refused (a standard user).
// Reading what the shell will run goes through the merged view.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

struct ClassesKey {
    HKEY root;
    const wchar_t* path;  // with a trailing backslash
    const wchar_t* name;  // for messages
    std::wstring Of(const std::wstring& subKey) const { return path + subKey; }
};

inline const ClassesKey kMachineClasses = {HKEY_LOCAL_MACHINE, L"Software\\Classes\\", L"every user"};
inline const ClassesKey kUserClasses = {HKEY_CURRENT_USER, L"Software\\Classes\\", L"this Windows account"};

// True when the user's own classes hold the key, shadowing every user's.
bool UserClassesHold(const std::wstring& subKey);

}  // namespace dravik
