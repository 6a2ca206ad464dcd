// Fixed names of the game's files and of the shell registration.
#pragma once

namespace dravik {

// Appended to the game folder as they stand; each begins with a backslash.
inline constexpr wchar_t kGameExeSuffix[] = L"\\System\\UT2003.exe";
inline constexpr wchar_t kSystemFolderSuffix[] = L"\\System";
inline constexpr wchar_t kExecScriptSuffix[] = L"\\System\\udemo.ini";
inline constexpr wchar_t kDemoIconSuffix[] = L"\\Help\\UnrealEd.ico";

inline constexpr wchar_t kExecOption[] = L"-exec=udemo.ini";

// Where the game's installer records its folder (HKEY_LOCAL_MACHINE, 32-bit view).
inline constexpr wchar_t kInstallRecordKey[] = L"Software\\Unreal Technology\\Installed Apps\\UT2003";
inline constexpr wchar_t kInstallRecordValue[] = L"Folder";

inline constexpr wchar_t kDemoExtension[] = L".dem";
inline constexpr wchar_t kDemoFileType[] = L"dravikfile";
inline constexpr wchar_t kLoaderFileName[] = L"loader.exe";

}  // namespace dravik
