#include "mdlMain.h"

#include "win32/unique_handles.h"

#include <vector>

namespace dravik {

DWORD RunAndWait(const std::wstring& commandLine, const std::wstring& currentDirectory, WORD showState,
                 DWORD& exitCode, void (*whileRunning)(), bool inheritHandles)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showState;
    PROCESS_INFORMATION started = {};

    // CreateProcessW may write into the command line, so it gets a copy.
    std::vector<wchar_t> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back(L'\0');

    if (!CreateProcessW(nullptr, mutableCommandLine.data(), nullptr, nullptr, inheritHandles ? TRUE : FALSE, 0, nullptr,
                        currentDirectory.c_str(), &startup, &started)) {
        return GetLastError();
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);

    // The new process starts undisturbed; work done alongside it at once
    // would slow its start.
    DWORD waited = WaitForSingleObject(process.get(), kStartMs);
    if (waited == WAIT_TIMEOUT) {
        if (whileRunning != nullptr) {
            whileRunning();
        }
        waited = WaitForSingleObject(process.get(), INFINITE);
    }
    if (waited == WAIT_FAILED || !GetExitCodeProcess(process.get(), &exitCode)) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

}  // namespace dravik
