#include "ansi_text.h"

#include <windows.h>

namespace dravik {

namespace {

// WC_ERR_INVALID_CHARS, which Windows XP's headers lack. It is only passed
// with UTF-8 as the ANSI code page, which Windows 10 introduced.
constexpr DWORD kErrorOnInvalidChars = 0x00000080;

}  // namespace

std::optional<std::string> ToAnsi(const std::wstring& text)
{
    if (text.empty()) {
        return std::string();
    }
    // UTF-8 as the ANSI code page takes neither the flag nor the lossy report.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? kErrorOnInvalidChars : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL* lossyReport = utf8 ? nullptr : &lossy;
    const int length = static_cast<int>(text.size());

    const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, lossyReport);
    if (size <= 0 || lossy) {
        return std::nullopt;
    }
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), length, &ansi[0], size, nullptr, lossyReport);
    if (lossy) {
        return std::nullopt;
    }
    return ansi;
}

}  // namespace dravik
