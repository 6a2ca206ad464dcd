#include "failure.h"

#include <string>

namespace dravik {

std::wstring SystemErrorText(DWORD code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0) {
        // Digits by hand: the formatted-output routines would double the programs' size.
        std::wstring digits;
        do {
            digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + code % 10));
            code /= 10;
        } while (code != 0);
        return L"Unknown error " + digits + L".";
    }
    std::wstring text(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

void ThrowSystemError(DWORD code)
{
    throw Failure(SystemErrorText(code));
}

}  // namespace dravik
