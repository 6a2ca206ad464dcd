// Forms of Windows paths beyond the plain "C:\..." and "\\server\share\...":
// the "\\?\" form that takes long paths, and the "\\.\" form of devices.
// Plain text rules, free of Windows headers.
#pragma once

#include <string>

namespace dravik {

// The form of a full path that Windows' wide file functions take when it is
// MAX_PATH characters or longer (they refuse the plain form then, unless
// both the program and the system opt in): "\\?\C:\..." or
// "\\?\UNC\server\share\...". Shorter paths, and those in neither plain
// form, are returned as they are.
std::wstring LongPathForm(const std::wstring& fullPath);

// The plain form of a path that may be in the "\\?\" form.
std::wstring PlainPathForm(const std::wstring& path);

// True for a full path in the device namespace ("\\.\CON", "\\.\COM1"),
// which is what Windows makes of "CON" and the other device names.
bool IsDevicePath(const std::wstring& fullPath);

}  // namespace dravik
