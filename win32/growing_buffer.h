// Text that a Windows function writes into a buffer of the caller's, grown
// until the text fits, as WIL's AdaptFixedSizeToAllocatedResult does.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

namespace dravik {

// The longest path Windows has, with its terminating NUL.
inline constexpr DWORD kLongestPath = 32768;

// call(buffer, size) calls a function that writes a text into a buffer of
// `size` characters and answers:
// - the text's length, less than size, when it fit;
// - the size it needs, more than size, when it did not (GetFullPathNameW,
//   GetShortPathNameW, GetCurrentDirectoryW);
// - size itself when it cut the text to fit (GetModuleFileNameW, which on
//   Windows XP then leaves out the terminating NUL and sets no error);
// - 0 when it failed.
// The text, or the empty text on a failure or where even kLongestPath
// characters do not hold it. Nearly every answer fits at the first call.
template <typename Call>
std::wstring TextFromGrowingBuffer(Call&& call)
{
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(text.size());
        const DWORD length = call(text.data(), size);
        if (length < size) {
            text.resize(length);
            return text;
        }
        if (size >= kLongestPath) {
            return std::wstring();
        }
        text.resize(std::min<DWORD>(std::max<DWORD>(length, size * 2), kLongestPath));
    }
}

}  // namespace dravik
