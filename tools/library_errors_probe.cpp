// library-errors-probe.exe: the programs' own replacements of the standard
// library's error throws (runtime/library_errors.cpp) in a program that the
// tests may make misuse the library. Either misuse ends, as in the programs,
// in the error message, which the tests read.
//
//   library-errors-probe misuse   reads past the end of a vector with at()
//   library-errors-probe size     asks for a string longer than memory
#include "win32/error_message.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR argument, int)
{
    // The sizes come from the argument, so that the compiler cannot see
    // them ahead.
    const std::size_t length = std::wcslen(argument);
    const bool done = dravik::RunReported(nullptr, L"Please bugreport to ", [&] {
        if (std::wcscmp(argument, L"misuse") == 0) {
            const std::vector<int> numbers(1);
            (void)numbers.at(length);
        } else if (std::wcscmp(argument, L"size") == 0) {
            std::wstring text;
            text.reserve(text.max_size() + length);
        }
    });
    return done ? 0 : 1;
}
