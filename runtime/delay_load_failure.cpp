// A DLL that a program loads at its first call (dravik_delay_load in
// CMakeLists.txt) may still fail to load then, on a broken system or with a
// stripped copy of Windows, or lack the function called. MinGW's delay-load
// helper then asks this hook for a replacement, and without one raises an
// exception that nothing handles: the program would die without a word. The
// DLL cannot be had, so the hook reports what it can without it (a line on
// standard error, and the status Windows gives a program whose DLL is
// missing at its start) and ends the program. It never returns: a null
// answer would make the helper raise that exception after all.
//
// Defined in each program itself: MinGW keeps its own, empty, hook in an
// archive member that this definition then keeps out.
#include <windows.h>

#include <delayimp.h>

namespace {

constexpr DWORD kDllNotFound = 0xC0000135;         // STATUS_DLL_NOT_FOUND
constexpr DWORD kEntryPointNotFound = 0xC0000139;  // STATUS_ENTRYPOINT_NOT_FOUND

// The line is made by hand in a fixed buffer: whatever else is broken, this
// needs no memory and nothing but kernel32.
class Line {
public:
    Line& operator<<(const char* text)
    {
        while (text != nullptr && *text != '\0' && length_ < sizeof text_) {
            text_[length_++] = *text++;
        }
        return *this;
    }
    Line& operator<<(DWORD number)
    {
        char digits[11] = {};
        char* first = digits + 10;
        do {
            *--first = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0);
        return *this << first;
    }
    void WriteToStandardError() const
    {
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), text_, length_, &written, nullptr);
    }

private:
    char text_[600];
    DWORD length_ = 0;
};

FARPROC WINAPI DelayLoadFailed(unsigned notification, PDelayLoadInfo info)
{
    if (notification != dliFailLoadLib && notification != dliFailGetProc) {
        return nullptr;
    }
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH - 1);
    const char* name = program;
    for (const char* at = program; *at != '\0'; ++at) {
        if (*at == '\\') {
            name = at + 1;
        }
    }
    Line line;
    line << name << ": ";
    if (notification == dliFailLoadLib) {
        line << "Windows could not load " << info->szDll;
    } else if (info->dlp.fImportByName) {
        line << info->szDll << " has no function " << info->dlp.szProcName;
    } else {
        line << info->szDll << " has no function number " << info->dlp.dwOrdinal;
    }
    line << " (error " << info->dwLastError << "), which this program needs, so it ends here.\r\n";
    line.WriteToStandardError();
    ExitProcess(notification == dliFailLoadLib ? kDllNotFound : kEntryPointNotFound);
}

}  // namespace

PfnDliHook __pfnDliFailureHook2 = DelayLoadFailed;
