// Paths made absolute the way Windows itself resolves them.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

// The absolute form of a path, resolved against the current folder (or the
// current folder of its drive, for "C:folder"); the empty text when Windows
// cannot resolve it.
std::wstring FullPath(const std::wstring& path);

// The full path of this program's own file.
std::wstring ProgramPath();

// True when the path names an existing file (not a folder).
inline bool IsFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace dravik
