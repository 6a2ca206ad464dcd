// A failure that ends a handler in the error message, with its description.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

class Failure {
public:
    explicit Failure(std::wstring description) : description_(std::move(description)) {}
    const std::wstring& Description() const { return description_; }

private:
    std::wstring description_;
};

// A fault of the program itself, such as a misuse of the standard library
// (runtime/library_errors.cpp): reported as an internal error to be reported.
struct InternalError {};

// A text of a message table (the system's, when module is null), without a
// trailing line break; its inserts (such as "%1 is not a valid Win32
// application.") name the subject, the path the error is about, where one
// is given. A code the table lacks gives the empty text, or from the
// system's table "Unknown error <code>.".
std::wstring MessageTableText(HMODULE module, DWORD code, const wchar_t* subject = nullptr);

// The system's own description of an error code.
inline std::wstring SystemErrorText(DWORD code, const wchar_t* subject = nullptr)
{
    return MessageTableText(nullptr, code, subject);
}

[[noreturn]] void ThrowSystemError(DWORD code, const wchar_t* subject = nullptr);

}  // namespace dravik
