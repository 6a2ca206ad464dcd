#include "mdlMain.h"

#include "win32/dll_search.h"
#include "win32/unique_handles.h"

#include <vector>

namespace dravik {

namespace {

// The process's own handle to the event, for as long as it runs.
bool HandOver(HANDLE event, HANDLE process)
{
    HANDLE theirs = nullptr;
    return DuplicateHandle(GetCurrentProcess(), event, process, &theirs, 0, FALSE, DUPLICATE_SAME_ACCESS) != FALSE;
}

}  // namespace

DWORD RunAndWait(const std::wstring& commandLine, const std::wstring& currentDirectory, WORD showState,
                 DWORD& exitCode, HANDLE lock, void (*whileRunning)())
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showState;
    PROCESS_INFORMATION started = {};

    // CreateProcessW may write into the command line, so it gets a copy.
    std::vector<wchar_t> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back(L'\0');

    BOOL created = FALSE;
    {
        const DefaultDllSearch search;
        created = CreateProcessW(nullptr, mutableCommandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                 nullptr, currentDirectory.c_str(), &startup, &started);
    }
    if (!created) {
        return GetLastError();
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    if ((lock != nullptr && !HandOver(lock, process.get())) || ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        const DWORD error = GetLastError();
        TerminateProcess(process.get(), error);
        return error;
    }
    if (lock != nullptr) {
        SetEvent(lock);
    }

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
