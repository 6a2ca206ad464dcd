#include "win32/full_path.h"

#include "win32/growing_buffer.h"

namespace dravik {

std::wstring FullPath(const std::wstring& path)
{
    return TextFromGrowingBuffer(
        [&path](wchar_t* buffer, DWORD size) { return GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
}

std::wstring ProgramPath()
{
    return TextFromGrowingBuffer(
        [](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
}

}  // namespace dravik
