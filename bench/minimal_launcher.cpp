// The least a loader can do, the floors dravik-bench compares loader.exe
// with. It starts its own argument string as a command line, in its own
// current folder, and waits for that program to end.
//
// Built twice: minimal_launcher.exe shows nothing and imports no window DLL;
// minimal_loader.exe (SHOW_THANKS) imports them as usual, so they are loaded
// from its start, and shows the thank-you message afterwards.
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
#ifdef SHOW_THANKS
    MessageBoxW(nullptr, L"Nice demo, isn't it? :))", L"Minimal", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
#endif
    return 0;
}
