// The settings record's names: where the game lives, written by Dravik.exe
// and read by loader.exe (win32/settings_reading.h), in
// HKEY_CURRENT_USER\Software\Dravik\Setup.
#pragma once

#include <string>

namespace dravik {

inline constexpr wchar_t kSettingsParentKey[] = L"Software\\Dravik";  // Dravik's own, all of it
inline constexpr wchar_t kSettingsKey[] = L"Software\\Dravik\\Setup";
inline constexpr wchar_t kPathValue[] = L"Path";
inline constexpr wchar_t kGeneralValue[] = L"General";

struct SettingsRecord {
    std::wstring Path;     // full path of UT2003.exe
    std::wstring General;  // the game folder
};

}  // namespace dravik
