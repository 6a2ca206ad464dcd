#include "error_message.h"

#include "maker.h"

namespace dravik {

void ShowErrorMessage(HWND owner, const wchar_t* titlePrefix, const std::wstring& description)
{
    const std::wstring text = L"Error" + description;
    const std::wstring title = titlePrefix + std::wstring(kContactAddress);
    MessageBoxW(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace dravik
