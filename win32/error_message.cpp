#include "win32/error_message.h"

#include "maker.h"
#include "rules/text_join.h"
#include "win32/failure.h"

#include <new>

namespace dravik {

namespace {

constexpr wchar_t kInternalErrorText[] =
    L"Dravik met an internal error: a fault in the program itself, not in what you did. Please report it, with "
    L"what you did just before.";
// Windows' own words for ERROR_NOT_ENOUGH_MEMORY, for when not even they can be fetched.
constexpr wchar_t kNoMemoryText[] = L"ErrorNot enough memory resources are available to process this command.";

}  // namespace

void ShowErrorMessage(HWND owner, const wchar_t* titlePrefix, const std::wstring& description)
{
    const std::wstring text = Join({L"Error", description});
    const std::wstring title = Join({titlePrefix, kContactAddress});
    MessageBoxW(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

void ReportCurrentException(HWND owner, const wchar_t* titlePrefix) noexcept
{
    try {
        try {
            throw;
        } catch (const Failure& failure) {
            ShowErrorMessage(owner, titlePrefix, failure.Description());
        } catch (const std::bad_alloc&) {
            ShowErrorMessage(owner, titlePrefix, SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
        } catch (...) {
            ShowErrorMessage(owner, titlePrefix, kInternalErrorText);
        }
    } catch (...) {
        // The message itself found no memory: its fixed words, in a title
        // made without any.
        wchar_t title[256];
        lstrcpynW(title, titlePrefix, ARRAYSIZE(title));
        const int used = lstrlenW(title);
        lstrcpynW(title + used, kContactAddress, ARRAYSIZE(title) - used);
        MessageBoxW(owner, kNoMemoryText, title, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    }
}

}  // namespace dravik
