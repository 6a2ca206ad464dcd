// The one error message both programs show: critical icon, OK only,
// "Error" followed at once by the description, and a request to report it.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

// titlePrefix is the program's own request, e.g. "Please bugreport to ";
// the maker's contact address follows it.
void ShowErrorMessage(HWND owner, const wchar_t* titlePrefix, const std::wstring& description);

}  // namespace dravik
