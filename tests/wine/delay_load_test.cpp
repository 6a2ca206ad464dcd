// Both programs with a DLL they load on demand that cannot be loaded: Wine
// is told not to load it for them, by its per-program DLL overrides (the
// WINEDLLOVERRIDES of a program started from inside Wine is not read).
#include "test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace dravik::test {
namespace {

constexpr DWORD kTimeoutMs = 15000;
constexpr DWORD kDllNotFound = 0xC0000135;

struct Ended {
    DWORD exitCode = 0;
    std::string standardError;
};

// Wine loads no DLL of that name for programs of that file name while it lives.
class DllDisabled {
public:
    DllDisabled(const std::wstring& exe, const std::wstring& dll)
        : key_(L"Software\\Wine\\AppDefaults\\" + exe.substr(exe.find_last_of(L'\\') + 1))
    {
        SetText(HKEY_CURRENT_USER, key_ + L"\\DllOverrides", dll.c_str(), L"");
    }
    ~DllDisabled() { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }
    DllDisabled(const DllDisabled&) = delete;
    DllDisabled& operator=(const DllDisabled&) = delete;

private:
    std::wstring key_;
};

// Runs the program without the DLL, its standard error in a file, until it
// ends.
std::optional<Ended> RunWithoutDll(const std::wstring& exe, const std::wstring& arguments, const std::wstring& dll,
                                   const std::wstring& folder)
{
    const DllDisabled disabled(exe, dll);
    const std::wstring errors = folder + L"\\stderr.txt";
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    const UniqueHandle file(CreateFileW(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = file.get();
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup,
                        &started)) {
        ADD_FAILURE() << "cannot start the program, error " << GetLastError();
        return std::nullopt;
    }
    Program program;
    program.process.reset(started.hProcess);
    program.id = started.dwProcessId;
    CloseHandle(started.hThread);
    Ended ended;
    if (!program.WaitForExit(kTimeoutMs, &ended.exitCode)) {
        ADD_FAILURE() << "the program did not end";
        return std::nullopt;
    }
    ended.standardError = ReadBytes(errors).value_or("");
    return ended;
}

// Windows' own status for a program whose DLL is missing at its start, and
// a line that names the DLL, instead of a crash without a word.
TEST(LoaderAndSetupWithoutAWindowDll, SayWhichDllIsMissingAndEnd)
{
    struct Case {
        std::wstring exe;
        std::wstring arguments;
        std::wstring dll;
    };
    // The loader, set up for nothing, needs its window DLLs for the error
    // message; Dravik.exe needs the common controls first.
    DeleteSettings();
    const std::vector<Case> cases = {
        {LoaderPath(), L"\"C:\\demo.dem\"", L"user32"},
        {SetupPath(), L"", L"comctl32"},
    };
    const std::wstring folder = FreshTestFolder();
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.exe) + " without " + Narrow(c.dll));
        const std::optional<Ended> ended = RunWithoutDll(c.exe, c.arguments, c.dll, folder);
        ASSERT_TRUE(ended);
        EXPECT_EQ(ended->exitCode, kDllNotFound);
        EXPECT_NE(ended->standardError.find("could not load " + Narrow(c.dll)), std::string::npos)
            << ended->standardError;
    }
}

}  // namespace
}  // namespace dravik::test
