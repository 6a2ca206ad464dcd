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

// The system's own description of an error code, without a trailing line break.
std::wstring SystemErrorText(DWORD code);

[[noreturn]] void ThrowSystemError(DWORD code);

}  // namespace dravik
