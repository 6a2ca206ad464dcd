#include "win32/failure.h"

#include "rules/text_join.h"
#include "win32/unique_handles.h"

#include <string>

namespace dravik {

namespace {

// FormatMessage takes at most 99 inserts.
constexpr int kInsertCount = 99;

}  // namespace

std::wstring MessageTableText(HMODULE module, DWORD code, const wchar_t* subject)
{
    // Every insert a text may hold gets the subject, so that none reads
    // past the array.
    DWORD_PTR inserts[kInsertCount + 1];
    for (DWORD_PTR& insert : inserts) {
        insert = reinterpret_cast<DWORD_PTR>(subject);
    }
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER |
                        (module != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM) |
                        (subject != nullptr ? FORMAT_MESSAGE_ARGUMENT_ARRAY : FORMAT_MESSAGE_IGNORE_INSERTS);
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(flags, module, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0,
                                        subject != nullptr ? reinterpret_cast<va_list*>(inserts) : nullptr);
    const UniqueLocalMemory allocated(buffer);
    if (length == 0) {
        if (module != nullptr) {
            return std::wstring();
        }
        // Digits by hand: the formatted-output routines would double the programs' size.
        wchar_t digits[16] = {};
        wchar_t* first = digits + 14;
        digits[14] = L'.';
        do {
            *--first = static_cast<wchar_t>(L'0' + code % 10);
            code /= 10;
        } while (code != 0);
        return Join({L"Unknown error ", first});
    }
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

void ThrowSystemError(DWORD code, const wchar_t* subject)
{
    throw Failure(SystemErrorText(code, subject));
}

}  // namespace dravik
