#include "mdlMain.h"

#include "unique_handles.h"

#include <vector>

namespace dravik {

DWORD RunAndWait(const std::wstring& commandLine, const std::wstring& currentDirectory, WORD showState,
                 void (*whileStarting)())
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showState;
    PROCESS_INFORMATION started = {};

    // CreateProcessW may write into the command line, so it gets a copy.
    std::vector<wchar_t> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back(L'\0');

    if (!CreateProcessW(nullptr, mutableCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDirectory.c_str(), &startup, &started)) {
        return GetLastError();
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    if (whileStarting != nullptr) {
        whileStarting();
    }

    if (WaitForSingleObject(process.get(), INFINITE) == WAIT_FAILED) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

}  // namespace dravik
