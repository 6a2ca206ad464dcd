// minimal_loader.exe: the floor dravik-bench compares loader.exe's thank-you
// with. It imports the window DLLs as usual, so they are loaded from its
// start; it starts its argument string as a command line, waits for that
// program to end and shows the thank-you message.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        return 1;
    }
    WaitForSingleObject(started.hProcess, INFINITE);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    MessageBoxW(nullptr, L"Nice demo, isn't it? :))", L"Minimal", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    return 0;
}
