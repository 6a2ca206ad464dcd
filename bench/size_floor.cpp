// size_floor.exe: the smallest program that uses what Dravik's programs use of
// the standard library, the floor for their file sizes: a std::wstring, an
// exception thrown and caught, and one message box.
#include <windows.h>

#include <string>

namespace {

struct Failure {
    std::wstring description;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    std::wstring text = L"Size floor";
    try {
        if (commandLine[0] != L'\0') {
            throw Failure{L"an argument: " + std::wstring(commandLine)};
        }
        text += L": no argument";
    } catch (const Failure& failure) {
        text += L": " + failure.description;
    }
    MessageBoxW(nullptr, text.c_str(), L"Size floor", MB_OK);
    return 0;
}
