// The one error message both programs show: critical icon, OK only,
// "Error" followed at once by the description, and a request to report it;
// and the one way each program turns a failure into it.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

// titlePrefix is the program's own request, e.g. "Please bugreport to ";
// the maker's contact address follows it.
void ShowErrorMessage(HWND owner, const wchar_t* titlePrefix, const std::wstring& description);

// Shows the error message for the exception being handled: a Failure's
// description, Windows' text for want of memory, or for anything else an
// internal error to be reported. Only for use inside a catch block.
void ReportCurrentException(HWND owner, const wchar_t* titlePrefix) noexcept;

// Runs the work; whatever it throws ends in the error message. True when
// the work was done.
template <typename Work>
bool RunReported(HWND owner, const wchar_t* titlePrefix, Work&& work) noexcept
{
    try {
        work();
        return true;
    } catch (...) {
        ReportCurrentException(owner, titlePrefix);
        return false;
    }
}

}  // namespace dravik
