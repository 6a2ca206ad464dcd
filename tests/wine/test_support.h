// What the tests under Wine need around the real programs: test game folders
// with the stand-in game, the settings record, started programs and the
// stand-in's record of how it was started.
#pragma once

#include "win32/unique_handles.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace dravik::test {

// Plain letters for test messages; others are cut to their low byte.
inline std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// Paths of the programs under test, handed over by the test run.
std::wstring LoaderPath();
std::wstring StandInPath();
std::wstring SetupPath();
// Dravik.exe built with a long contact address and home page.
std::wstring LongLabelsSetupPath();
// loader.exe built with its copies slowed down, chunk by chunk.
std::wstring SlowCopyLoaderPath();
// Where a test saves a screenshot of that name for a person to look at;
// empty where the run keeps none.
std::wstring ScreenshotPath(const std::wstring& name);
// A DLL that leaves "<its own path>.loaded" when it is loaded.
std::wstring PlantedDllPath();
// A program with the programs' own stack guard, which tests may break.
std::wstring StackGuardProbePath();
// A program with the programs' own library error throws, which tests may
// make misuse the library.
std::wstring LibraryErrorsProbePath();
// Where this run's standard error goes, to which Wine writes the traces
// that WINEDEBUG asks for, of this process and those it starts.
std::wstring WineTraceLogPath();

// The trace's lines, and the prefix that begins the lines of one process
// (with WINEDEBUG=+pid, its id in hex: "0104:0108:trace:...").
std::vector<std::string> TraceLines(const std::string& trace);
std::string TracePrefix(DWORD pid);
// That process's lines that hold the text.
std::vector<std::string> LinesOf(const std::vector<std::string>& lines, DWORD pid, const std::string& holding);

// A fresh folder for the running test: C:\Dravik Tests\<test name>.
std::wstring FreshTestFolder();
void MakeFolders(const std::wstring& path);
void RemoveTree(const std::wstring& path);
// Makes the file read-only so that Windows refuses to write it. Wine run as
// root writes read-only files, as root passes Linux's permission checks:
// there the file is also made immutable (chattr +i), which stops even root
// on file systems that have the flag, such as the test VM's ext4 disk.
// False where the file can still be written.
bool MakeReadOnly(const std::wstring& path);
bool Exists(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);

struct GameFolder {
    std::wstring folder;  // General
    std::wstring system;  // folder\System
    std::wstring exe;     // folder\System\UT2003.exe, the stand-in
};
// A complete game folder, or one with a part missing or in the way.
enum class GameParts {
    Complete,
    NoGameFolder,
    NoSystemFolder,
    NoGame,
    NotAProgram,
    GameIsAFolder,
    ScriptIsAFolder,
    ReadOnlyScript,
    LockedScript,  // a script for the test to hold open
};
GameFolder MakeGameFolder(const std::wstring& folder, GameParts parts = GameParts::Complete);

void WriteSettings(const std::wstring& path, const std::wstring& general);
void DeleteSettings();

// A string value as stored, or nothing when it is missing or not a REG_SZ.
std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key, const std::wstring& name);

// Sets a REG_SZ value, making the key where it is missing.
void SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value);

// Gives the key the access rules of an SDDL text, such as
// "D:(D;;KW;;;WD)(A;;KA;;;WD)": changes refused to everyone.
void SetKeyAccess(HKEY root, const std::wstring& key, const wchar_t* sddl);

// What the stand-in game recorded of its start.
struct StandInRecord {
    DWORD pid = 0;
    bool handedOver = false;  // handed its command line to a copy that ran, and ended
    std::wstring commandLine;
    std::wstring currentDirectory;
    UINT codePage = 0;   // its ANSI code page
    bool scriptFound = false;
    std::string script;  // udemo.ini's exact bytes
    // The demo it opened, reading the script as the game does: its path,
    // its first 64 KiB, its size and its number of names (hard links); or
    // why it opened none.
    bool demoOpened = false;
    std::wstring demoFile;
    std::string demo;
    unsigned long long demoSize = 0;
    DWORD demoLinks = 0;
    std::string demoWhy;
};
std::optional<StandInRecord> WaitForStandInRecord(const GameFolder& game, DWORD timeoutMs);
bool GameWasStarted(const GameFolder& game);

// A started program; one still running when the test is done is ended, so
// that a failed test leaves nothing behind.
struct Program {
    Program() = default;
    Program(Program&&) = default;
    Program& operator=(Program&& other);
    ~Program();

    UniqueHandle process;
    DWORD id = 0;
    // True when the program ended within the time; its exit code then.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;

private:
    void End();
};
// Starts "<exe>" <arguments>, with the given current folder (or ours),
// handing it this process's inheritable handles where asked to.
Program Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder = L"",
              bool inheritHandles = false);

// Waits until no process of that file name (such as L"loader.exe") runs;
// false when one still does after the time.
bool WaitUntilNoProcessNamed(const std::wstring& name, DWORD timeoutMs);

// The file's Linux path, as Wine maps it.
std::wstring UnixPath(const std::wstring& path);

// The DPI that programs started after this call see.
void SetScreenDpi(DWORD dpi);

// Switches this process to per-monitor DPI awareness, so that it sees other
// programs' windows in real pixels.
void BecomeDpiAware();

// Sets how the stand-in game behaves in programs started after this call:
// how long it runs, its exit code, and how long after its start it reads
// the script.
void SetStandIn(DWORD stayMs, int exitCode, DWORD readMs = 0);

}  // namespace dravik::test
