// loader.exe under Wine, with the stand-in game, driven through its windows.
#include "maker.h"
#include "test_support.h"
#include "window_probe.h"
#include "rules/loader_demo_form.h"
#include "rules/loader_rules.h"
#include "rules/twips.h"
#include "win32/dpi.h"
#include "win32/failure.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <sddl.h>

#include <vector>

namespace dravik::test {
namespace {

constexpr DWORD kTimeoutMs = 15000;
const std::wstring kThanks = L"Nice demo, isn't it? :))";
const std::wstring kErrorTitle = std::wstring(L"Please debugreport to ") + kContactAddress;

// The application icon as the program under test carries it.
bool ShowsApplicationIcon(HWND window)
{
    const HMODULE program = LoadLibraryExW(LoaderPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    const int size = GetSystemMetrics(SM_CXSMICON);
    const HICON icon = static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
    const bool shown = icon != nullptr && probe::ShowsIcon(window, icon, size);
    DestroyIcon(icon);
    FreeLibrary(program);
    return shown;
}

// The window the loader keeps open after an error, once it shows.
HWND WaitForEmptyWindow(const Program& loader)
{
    return probe::WaitFor(kTimeoutMs, [&loader]() -> HWND {
        for (const HWND candidate : probe::TopLevelWindows(loader.id)) {
            if (probe::ClassName(candidate) == L"DravikLoader" && IsWindowVisible(candidate)) {
                return candidate;
            }
        }
        return nullptr;
    });
}

// After an error message: presses OK, then closes the empty window the loader
// keeps open, which ends it with the error's exit status.
void CloseAfterError(const Program& loader, HWND error)
{
    probe::PressButton(error, L"OK");
    const HWND window = WaitForEmptyWindow(loader);
    ASSERT_NE(window, nullptr) << "no empty window after the error";
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    EXPECT_TRUE(loader.WaitForExit(kTimeoutMs, &exitCode));
    EXPECT_EQ(exitCode, 1u);
}

// What the folder holds, but the stand-in game's own files (its log, its
// records) and the script.
std::vector<std::wstring> LeftIn(const std::wstring& folder)
{
    std::vector<std::wstring> left;
    WIN32_FIND_DATAW found;
    const UniqueFind search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search) {
        return left;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L".." && name != L"System" && name != L"UT2003.exe" && name != L"udemo.ini" &&
            name != L"UT2003.log" && name.rfind(L"standin-", 0) != 0) {
            left.push_back(name);
        }
    } while (FindNextFileW(search.get(), &found));
    return left;
}

class Loader : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = FreshTestFolder();
        game_ = MakeGameFolder(root_ + L"\\Game Folder");
        WriteSettings(game_.exe, game_.folder);
        SetStandIn(0, 0);
        WriteBytes(L"C:\\demo.dem", "demo");
        WriteBytes(L"C:\\ut2004.dem", std::string("UT2004 DEMO FILE\x1A", 17) + "a UT2004 demo");
    }

    // Runs the loader on one argument string through to its thank-you
    // message, presses OK, and returns what the game was started with.
    StandInRecord PlayToThanks(const std::wstring& argument, const std::wstring& folder = L"")
    {
        DeleteFileW((game_.system + L"\\standin-record.txt").c_str());
        const Program loader = Start(LoaderPath(), argument, folder);
        const auto record = WaitForStandInRecord(game_, kTimeoutMs);
        EXPECT_TRUE(record) << "the game was not started";
        const HWND thanks = probe::WaitForMessageBox(loader.id, kTimeoutMs);
        EXPECT_NE(thanks, nullptr) << "no thank-you message";
        if (thanks != nullptr) {
            EXPECT_EQ(probe::ReadMessageBox(thanks).text, kThanks);
            // "OK" in the language of Windows, which the code-page runs change.
            EXPECT_TRUE(probe::PressButtonWithId(thanks, IDOK));
        }
        DWORD exitCode = 1;
        EXPECT_TRUE(loader.WaitForExit(kTimeoutMs, &exitCode)) << "the loader did not end after OK";
        EXPECT_EQ(exitCode, 0u);
        return record.value_or(StandInRecord{});
    }

    // Links or copies, or anything else the loader left in the game's folders.
    std::vector<std::wstring> LeftInGameFolders() const
    {
        std::vector<std::wstring> left = LeftIn(game_.folder);
        for (const std::wstring& name : LeftIn(game_.system)) {
            left.push_back(L"System\\" + name);
        }
        return left;
    }

    std::wstring root_;
    GameFolder game_;
};

TEST_F(Loader, WritesTheDemosFullPathInQuotesAndReplacesAnyEarlierScript)
{
    const std::wstring demo = root_ + L"\\My Demos\\duel 1.dem";
    MakeFolders(root_ + L"\\My Demos");
    MakeFolders(L"C:\\demos");
    WriteBytes(demo, "duel 1");
    WriteBytes(L"C:\\demos\\duel.dem", "duel");
    struct Case {
        std::wstring argument;
        std::wstring folder;  // the loader's current folder
        std::wstring demo;    // what the game must play
        std::string script;
    };
    // The game runs in its own folder: a relative path is made absolute
    // against the folder the loader was started in. Quotes always, so that
    // no blank ends the path; an empty argument starts the game as it is.
    const std::vector<Case> cases = {
        {L"\"" + demo + L"\"", L"", demo, "demoplay \"" + Narrow(demo) + "\""},
        {L"C:\\demos\\duel.dem", L"", L"C:\\demos\\duel.dem", "demoplay \"C:\\demos\\duel.dem\""},
        // A blank after the quotes, a quote without its pair.
        {L"\"C:\\demos\\duel.dem\" ", L"", L"C:\\demos\\duel.dem", "demoplay \"C:\\demos\\duel.dem\""},
        {L"\"C:\\demos\\duel.dem", L"", L"C:\\demos\\duel.dem", "demoplay \"C:\\demos\\duel.dem\""},
        {L"\"My Demos\\duel 1.dem\"", root_, demo, "demoplay \"" + Narrow(demo) + "\""},
        {L"..\\My Demos\\.\\duel 1.dem", game_.folder, demo, "demoplay \"" + Narrow(demo) + "\""},
        {L"", L"", L"", "demoplay "},
        {L"\"\"", L"", L"", "demoplay \"\""},
    };
    const std::wstring script = game_.system + L"\\udemo.ini";
    for (const Case& c : cases) {
        WriteBytes(script, "demoplay \"C:\\an earlier, much longer path\\to an older demo.dem\"\r\n");
        const StandInRecord record = PlayToThanks(c.argument, c.folder);
        EXPECT_TRUE(record.scriptFound);
        EXPECT_EQ(record.script, c.script) << "as the game found it, for argument " << Narrow(c.argument);
        EXPECT_EQ(ReadBytes(script).value_or("missing"), c.script);
        EXPECT_EQ(record.demoFile, c.demo) << record.demoWhy;
    }
}

TEST_F(Loader, StartsTheGameQuotedInItsFolderEvenWithBlanksInThePath)
{
    const StandInRecord record = PlayToThanks(L"\"C:\\demo.dem\"");
    EXPECT_EQ(record.commandLine, L"\"" + game_.exe + L"\" -exec=udemo.ini");
    EXPECT_EQ(record.currentDirectory, game_.folder);
}

TEST_F(Loader, ThanksOnlyAfterTheGameHasEndedWhateverItsExitCode)
{
    // exit(-1) too: the game's own code, not a crash.
    for (const int exitCode : {0, 3, -1}) {
        DeleteFileW((game_.system + L"\\standin-record.txt").c_str());
        SetStandIn(1500, exitCode);
        const Program loader = Start(LoaderPath(), L"\"C:\\demo.dem\"");
        const auto record = WaitForStandInRecord(game_, kTimeoutMs);
        ASSERT_TRUE(record) << "the game was not started";

        const UniqueHandle game(OpenProcess(SYNCHRONIZE, FALSE, record->pid));
        ASSERT_TRUE(game) << "the game ended too soon to be watched";
        while (WaitForSingleObject(game.get(), 50) == WAIT_TIMEOUT) {
            ASSERT_TRUE(probe::TopLevelWindows(loader.id).empty()) << "a window while the game still runs";
        }

        const HWND thanks = probe::WaitForMessageBox(loader.id, kTimeoutMs);
        ASSERT_NE(thanks, nullptr) << "no thank-you message after exit code " << exitCode;
        const probe::MessageBoxView view = probe::ReadMessageBox(thanks);
        EXPECT_EQ(view.text, kThanks);
        EXPECT_EQ(view.title, kHomePage);
        EXPECT_EQ(view.icon, probe::MessageIcon::Information);
        EXPECT_EQ(view.buttons, std::vector<std::wstring>{L"OK"});
        probe::PressButton(thanks, L"OK");
        EXPECT_TRUE(loader.WaitForExit(kTimeoutMs));
    }
}

TEST_F(Loader, ReportsAGameThatEndedWithAnErrorStatusInsteadOfThanking)
{
    // A DLL the game needs is missing; the game crashed (for real: Windows
    // ends it, and no debugger may hold it); it hit a breakpoint.
    for (const DWORD status : {0xC0000135u, 0xC0000005u, 0x80000003u}) {
        SetStandIn(0, static_cast<int>(status));
        if (status == 0xC0000005u) {
            SetEnvironmentVariableW(L"DRAVIK_STANDIN_EXIT", L"crash");
        }
        const Program loader = Start(LoaderPath(), L"\"C:\\demo.dem\"");
        const HWND error = probe::WaitForMessageBox(loader.id, kTimeoutMs);
        ASSERT_NE(error, nullptr);
        const probe::MessageBoxView view = probe::ReadMessageBox(error);
        const std::wstring hex = HexStatus(status);
        EXPECT_EQ(view.text.rfind(L"ErrorThe game ended with the error status " + hex, 0), 0u) << Narrow(view.text);
        EXPECT_EQ(view.text.find(L'%'), std::wstring::npos) << Narrow(view.text);
        // The crashed game's own words, from its log.
        EXPECT_EQ(view.text.find(L"The game reported: General protection fault!") != std::wstring::npos,
                  status == 0xC0000005u)
            << Narrow(view.text);
        EXPECT_EQ(view.title, kErrorTitle);
        EXPECT_EQ(view.icon, probe::MessageIcon::Error);
        CloseAfterError(loader, error);
    }
}

// What the game's own log says of this run: why it could not play the demo,
// named in place of the thanks; nothing else is claimed. The stand-in's demos
// name the packages they need, which the game has in its Maps folder, of the
// demo's version or another.
TEST_F(Loader, SaysWhyTheGameCouldNotPlayTheDemoWhereItsLogSays)
{
    const std::string guid = "0123456789ABCDEF0123456789ABCDEF";
    struct Case {
        const char* name;
        const wchar_t* gameFolder;    // below the test folder
        const char* map;              // what Maps\DM-Foo.ut2 holds, or nothing
        const wchar_t* missingForm;   // how the game logs a missing package
        const wchar_t* padding;       // bytes of log between the demo's lines
        const wchar_t* log;           // "0": the game writes no log
        const wchar_t* says;          // nothing: thanked
    };
    const std::wstring missing = L"it needs the package DM-Foo, which this game does not have. Put DM-Foo where";
    const Case cases[] = {
        {"played", L"Game Folder", "GUID=0123456789ABCDEF0123456789ABCDEF", L"pending", L"0", L"1", nullptr},
        {"a missing package", L"Game Folder", nullptr, L"pending", L"0", L"1", missing.c_str()},
        {"as older builds log it", L"Game Folder", nullptr, L"donthave", L"0", L"1", missing.c_str()},
        {"as the loading logs it", L"Game Folder", nullptr, L"cantfind", L"0", L"1", missing.c_str()},
        {"another version", L"Game Folder", "GUID=FEDCBA9876543210FEDCBA9876543210", L"pending", L"0", L"1",
         L"recorded with another version of the package DM-Foo"},
        // A game folder whose letters the log writes as 0x7F and 0x80-0xFF.
        {"other letters in the log", L"\u0418\u0433\u0440\u044b \u00c9t\u00e9", nullptr, L"pending", L"0", L"1",
         missing.c_str()},
        // 5 MiB: read as its first and last 2 MiB.
        {"a log longer than the bound", L"Game Folder", nullptr, L"pending", L"5242880", L"1", missing.c_str()},
        // An earlier run's log, unchanged by this one.
        {"an earlier log", L"Game Folder", nullptr, L"pending", L"0", L"0", nullptr},
    };
    const std::wstring demo = root_ + L"\\needs DM-Foo.dem";
    WriteBytes(demo, "USES PKG=DM-Foo GUID=" + guid + "\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        game_ = MakeGameFolder(root_ + L"\\" + c.gameFolder);
        WriteSettings(game_.exe, game_.folder);
        MakeFolders(game_.folder + L"\\Maps");
        DeleteFileW((game_.folder + L"\\Maps\\DM-Foo.ut2").c_str());
        if (c.map != nullptr) {
            WriteBytes(game_.folder + L"\\Maps\\DM-Foo.ut2", c.map);
        }
        // What an earlier run of the game logged.
        WriteBytes(game_.system + L"\\UT2003.log", "Log: Attempting to play demo C:\\old.dem\r\n"
                                                   "Log: Don't have package for demo: DM-Old\r\n");
        SetEnvironmentVariableW(L"DRAVIK_STANDIN_MISSING_FORM", c.missingForm);
        SetEnvironmentVariableW(L"DRAVIK_STANDIN_LOG_PADDING", c.padding);
        SetEnvironmentVariableW(L"DRAVIK_STANDIN_LOG", c.log);
        if (c.says == nullptr) {
            EXPECT_TRUE(PlayToThanks(L"\"" + demo + L"\"").demoOpened);
            continue;
        }
        const Program loader = Start(LoaderPath(), L"\"" + demo + L"\"");
        const HWND error = probe::WaitForMessageBox(loader.id, kTimeoutMs);
        ASSERT_NE(error, nullptr);
        const probe::MessageBoxView view = probe::ReadMessageBox(error);
        EXPECT_EQ(view.text.rfind(L"ErrorThe game could not play the demo " + demo + L": ", 0), 0u) << Narrow(view.text);
        EXPECT_NE(view.text.find(c.says), std::wstring::npos) << Narrow(view.text);
        EXPECT_EQ(view.icon, probe::MessageIcon::Error);
        CloseAfterError(loader, error);
    }
    for (const wchar_t* name : {L"DRAVIK_STANDIN_MISSING_FORM", L"DRAVIK_STANDIN_LOG_PADDING", L"DRAVIK_STANDIN_LOG"}) {
        SetEnvironmentVariableW(name, nullptr);
    }
}

// A copy of the game that runs already (started from its own shortcut, with
// no demo) takes the command line of the game the loader starts, which ends
// at once, and plays nothing of it. Where the game's path makes it start a
// second copy, the loader does not start one beside it.
TEST_F(Loader, SaysWhenTheGameRanAlreadyAndPlayedNothing)
{
    for (const wchar_t* folder : {L"Game Folder", L"NewWindow Game"}) {
        SCOPED_TRACE(Narrow(folder));
        game_ = MakeGameFolder(root_ + L"\\" + folder);
        WriteSettings(game_.exe, game_.folder);
        SetStandIn(60000, 0);
        const Program running = Start(game_.exe, L"", game_.folder);
        const auto first = WaitForStandInRecord(game_, kTimeoutMs);
        ASSERT_TRUE(first);
        ASSERT_TRUE(probe::WaitFor(kTimeoutMs, [] { return FindWindowW(L"UT2003UnrealWLog", nullptr); }));
        SetStandIn(0, 0);

        const Program loader = Start(LoaderPath(), L"\"C:\\demo.dem\"");
        const HWND box = probe::WaitForMessageBox(loader.id, kTimeoutMs);
        ASSERT_NE(box, nullptr);
        const probe::MessageBoxView view = probe::ReadMessageBox(box);
        EXPECT_EQ(view.text, L"UT2003 was already running, so it did not play this demo. Quit the game, then open the "
                             L"demo again.");
        EXPECT_EQ(view.icon, probe::MessageIcon::Information);
        probe::PressButton(box, L"OK");
        EXPECT_TRUE(loader.WaitForExit(kTimeoutMs));
        const auto record = WaitForStandInRecord(game_, kTimeoutMs);
        ASSERT_TRUE(record);
        const std::optional<std::string> received = ReadBytes(game_.system + L"\\standin-received.txt");
        if (std::wstring(folder) == L"Game Folder") {
            EXPECT_TRUE(record->handedOver) << "the game the loader started did not hand over";
            EXPECT_EQ(received, "-exec=udemo.ini\n");
        } else {
            EXPECT_EQ(record->pid, first->pid) << "a second copy was started";
            EXPECT_FALSE(received);
        }
        EXPECT_EQ(WaitForSingleObject(running.process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    }
}

// A copy that takes more than a second shows a window with its progress,
// which lets the user cancel it: then no game starts, nothing is left and
// nothing more is said. Meanwhile another demo is told that Dravik still
// prepares one. The shipped loader copies without delay; this one waits
// after each chunk.
TEST_F(Loader, ShowsALongCopyWhichTheUserMayCancel)
{
    // Read-only in a folder the game cannot read: copied, 1 MiB a chunk,
    // 250 ms each in the slow build.
    const std::wstring demo = root_ + L"\\ut2003.demos\\big.dem";
    MakeFolders(root_ + L"\\ut2003.demos");
    const std::string bytes(24 * 1024 * 1024, 'd');
    WriteBytes(demo, bytes);
    SetFileAttributesW(demo.c_str(), FILE_ATTRIBUTE_READONLY);
    BecomeDpiAware();
    for (const DWORD dpi : {96u, 144u}) {
        SCOPED_TRACE(dpi);
        const bool cancel = dpi == 96;
        SetScreenDpi(dpi);
        const Program loader = Start(SlowCopyLoaderPath(), L"\"" + demo + L"\"");
        const HWND window = probe::WaitFor(kTimeoutMs, [&loader]() -> HWND {
            for (const HWND candidate : probe::TopLevelWindows(loader.id)) {
                if (probe::ClassName(candidate) == L"DravikCopy" && IsWindowVisible(candidate)) {
                    return candidate;
                }
            }
            return nullptr;
        });
        SetScreenDpi(96);
        ASSERT_NE(window, nullptr) << "no window for the long copy";
        // Once its bar has moved, the window has been painted.
        const HWND bar = FindWindowExW(window, nullptr, L"msctls_progress32", nullptr);
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(probe::WaitFor(kTimeoutMs, [bar] { return SendMessageW(bar, PBM_GETPOS, 0, 0) > 0; }));
        EXPECT_EQ(probe::WindowText(window), L"Dravik");
        RECT client;
        GetClientRect(window, &client);
        for (const HWND child : probe::ChildWindows(window)) {
            RECT box;
            GetWindowRect(child, &box);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
            EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= client.right && box.bottom <= client.bottom)
                << Narrow(probe::ClassName(child)) << " outside the window";
        }
        const std::wstring shot = ScreenshotPath(L"copy-progress-" + std::to_wstring(dpi) + L"dpi.bmp");
        if (!shot.empty()) {
            probe::SaveScreenshot(window, shot);
        }
        EXPECT_FALSE(GameWasStarted(game_)) << "the game started before the copy was done";
        if (!cancel) {
            const auto record = WaitForStandInRecord(game_, 4 * kTimeoutMs);
            ASSERT_TRUE(record) << "the game did not start after the copy";
            EXPECT_EQ(record->demoSize, bytes.size());
            const HWND thanks = probe::WaitForMessageBox(loader.id, kTimeoutMs);
            ASSERT_NE(thanks, nullptr);
            probe::PressButton(thanks, L"OK");
            EXPECT_TRUE(loader.WaitForExit(kTimeoutMs));
            DeleteFileW((game_.system + L"\\standin-record.txt").c_str());
            continue;
        }
        // Meanwhile: another demo is told that one is being prepared.
        const Program second = Start(LoaderPath(), L"\"C:\\demo.dem\"");
        const HWND told = probe::WaitForMessageBox(second.id, kTimeoutMs);
        ASSERT_NE(told, nullptr);
        EXPECT_NE(probe::ReadMessageBox(told).text.find(L"still preparing another demo"), std::wstring::npos)
            << Narrow(probe::ReadMessageBox(told).text);
        probe::PressButton(told, L"OK");
        DWORD exitCode = 0;
        EXPECT_TRUE(second.WaitForExit(kTimeoutMs, &exitCode));
        EXPECT_EQ(exitCode, 3u);

        ASSERT_TRUE(probe::PressButton(window, L"Cancel"));
        EXPECT_TRUE(loader.WaitForExit(kTimeoutMs, &exitCode));
        EXPECT_EQ(exitCode, 6u);
        EXPECT_FALSE(GameWasStarted(game_));
        EXPECT_EQ(LeftInGameFolders(), std::vector<std::wstring>());
    }
    SetFileAttributesW(demo.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The lock is Windows': an event in the global namespace. Where this account
// may not see it (another account's game, or one run as administrator), and
// where Windows makes none (a name held by another kind of object), the
// loader says so and starts nothing. The game gets the lock and no other
// handle of the loader's, not even those the loader inherited itself.
TEST_F(Loader, TakesTheLockAsWindowsRulesAndGivesTheGameNothingElse)
{
    const std::wstring name = GameLockName(game_.folder);
    struct Case {
        const char* name;
        bool mutex;          // else an event that refuses this account
        const wchar_t* says;
        DWORD exitCode;
    };
    const Case cases[] = {
        {"another account's", false, L"for another Windows account, or in a game run as administrator", 4},
        {"another object's", true, L"Dravik cannot make sure that only one demo plays in the game at ", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SECURITY_ATTRIBUTES refusing = {sizeof refusing, nullptr, FALSE};
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;GA;;;WD)", SDDL_REVISION_1,
                                                                         &refusing.lpSecurityDescriptor, nullptr));
        const UniqueHandle planted(c.mutex ? CreateMutexW(nullptr, FALSE, name.c_str())
                                           : CreateEventW(&refusing, TRUE, TRUE, name.c_str()));
        LocalFree(refusing.lpSecurityDescriptor);
        ASSERT_TRUE(planted);
        const Program loader = Start(LoaderPath(), L"\"C:\\demo.dem\"");
        const HWND box = probe::WaitForMessageBox(loader.id, kTimeoutMs);
        ASSERT_NE(box, nullptr);
        EXPECT_NE(probe::ReadMessageBox(box).text.find(c.says), std::wstring::npos)
            << Narrow(probe::ReadMessageBox(box).text);
        if (c.exitCode == 1) {
            CloseAfterError(loader, box);
        } else {
            probe::PressButton(box, L"OK");
            DWORD exitCode = 0;
            EXPECT_TRUE(loader.WaitForExit(kTimeoutMs, &exitCode));
            EXPECT_EQ(exitCode, c.exitCode);
        }
        EXPECT_FALSE(GameWasStarted(game_));
    }

    // An inheritable handle that the loader inherits from whatever started it.
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const std::wstring canaryName = L"Local\\DravikTestCanary" + std::to_wstring(GetCurrentProcessId());
    UniqueHandle canary(CreateEventW(&inheritable, TRUE, FALSE, canaryName.c_str()));
    ASSERT_TRUE(canary);
    SetStandIn(10000, 0);
    Program loader = Start(LoaderPath(), L"\"C:\\demo.dem\"", L"", true);
    const auto record = WaitForStandInRecord(game_, kTimeoutMs);
    ASSERT_TRUE(record);
    const UniqueHandle game(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, record->pid));
    loader = Program();  // ended while its game runs
    canary.reset();
    EXPECT_FALSE(UniqueHandle(OpenEventW(SYNCHRONIZE, FALSE, canaryName.c_str()))) << "the game holds the loader's handles";
    EXPECT_TRUE(UniqueHandle(OpenEventW(SYNCHRONIZE, FALSE, name.c_str()))) << "the game does not hold the lock";
    TerminateProcess(game.get(), 0);
    WaitForSingleObject(game.get(), kTimeoutMs);
}

// Windows replaces a hidden or system file only when told to keep those
// attributes (Wine replaces it in any case).
TEST_F(Loader, WritesAHiddenOrSystemScriptKeepingItsAttributes)
{
    const std::wstring script = game_.system + L"\\udemo.ini";
    for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM},
                                   DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
        WriteBytes(script, "demoplay \"C:\\an older demo.dem\"");
        SetFileAttributesW(script.c_str(), attributes);
        EXPECT_EQ(PlayToThanks(L"\"C:\\demo.dem\"").script, "demoplay \"C:\\demo.dem\"");
        EXPECT_EQ(GetFileAttributesW(script.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), attributes);
        SetFileAttributesW(script.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// The game reads its script a while after it starts, as the real one does
// while it loads: a second loader must leave the script and the game alone.
TEST_F(Loader, PlaysOneDemoAtATimeWhenTwoAreOpenedTogether)
{
    const std::wstring times = root_ + L"\\game starts.txt";
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_TIMES", times.c_str());
    SetStandIn(6000, 0, 1500);
    const std::wstring demos[] = {root_ + L"\\A.dem", root_ + L"\\B.dem"};
    Program loaders[2];
    for (int i = 0; i < 2; ++i) {
        WriteBytes(demos[i], "demo");
        loaders[i] = Start(LoaderPath(), L"\"" + demos[i] + L"\"");
    }
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_TIMES", nullptr);

    // The loader that came second says so while the game runs.
    int second = -1;
    const HWND box = probe::WaitFor(kTimeoutMs, [&]() -> HWND {
        for (int i = 0; i < 2; ++i) {
            if (const HWND found = probe::FindMessageBox(loaders[i].id)) {
                second = i;
                return found;
            }
        }
        return nullptr;
    });
    ASSERT_NE(box, nullptr) << "no loader said that a demo is already playing";
    // The first may still prepare its demo, or its game already play it.
    const probe::MessageBoxView view = probe::ReadMessageBox(box);
    const bool playing = view.text.find(L"already playing") != std::wstring::npos;
    EXPECT_TRUE(playing || view.text.find(L"still preparing") != std::wstring::npos) << Narrow(view.text);
    EXPECT_NE(view.text.find(L"uit the game"), std::wstring::npos) << Narrow(view.text);
    EXPECT_EQ(view.icon, probe::MessageIcon::Information);
    EXPECT_EQ(view.buttons, std::vector<std::wstring>{L"OK"});
    probe::PressButton(box, L"OK");
    DWORD exitCode = 1;
    EXPECT_TRUE(loaders[second].WaitForExit(kTimeoutMs, &exitCode));
    EXPECT_EQ(exitCode, playing ? 2u : 3u);

    const int first = 1 - second;
    const auto record = WaitForStandInRecord(game_, kTimeoutMs);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->script, "demoplay \"" + Narrow(demos[first]) + "\"");
    const HWND thanks = probe::WaitForMessageBox(loaders[first].id, kTimeoutMs);
    ASSERT_NE(thanks, nullptr);
    EXPECT_EQ(probe::ReadMessageBox(thanks).text, kThanks);
    probe::PressButton(thanks, L"OK");
    EXPECT_TRUE(loaders[first].WaitForExit(kTimeoutMs));

    const std::string started = ReadBytes(times).value_or("");
    std::size_t count = 0;
    for (std::size_t at = 0; (at = started.find("started", at)) != std::string::npos; ++at) {
        ++count;
    }
    EXPECT_EQ(count, 1u) << "games started";
    EXPECT_EQ(ReadBytes(game_.system + L"\\udemo.ini").value_or(""), "demoplay \"" + Narrow(demos[first]) + "\"");

    // Once that game has ended, the next demo plays.
    SetStandIn(0, 0);
    EXPECT_EQ(PlayToThanks(L"\"" + demos[second] + L"\"").script, "demoplay \"" + Narrow(demos[second]) + "\"");
}

// Ended from the Task Manager, a loader leaves its game running: the game
// keeps the one-demo lock, so that no second game starts beside it.
TEST_F(Loader, PlaysOneDemoAtATimeAlsoWhenTheFirstLoaderWasEnded)
{
    const std::wstring times = root_ + L"\\game starts.txt";
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_TIMES", times.c_str());
    // Running until it is ended below, however slow the machine.
    SetStandIn(120000, 0);
    const Program first = Start(LoaderPath(), L"\"C:\\demo.dem\"");
    const auto record = WaitForStandInRecord(game_, kTimeoutMs);
    ASSERT_TRUE(record) << "the game was not started";
    const UniqueHandle game(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, record->pid));
    ASSERT_TRUE(game);
    ASSERT_TRUE(TerminateProcess(first.process.get(), 1));
    ASSERT_TRUE(first.WaitForExit(kTimeoutMs));

    const Program second = Start(LoaderPath(), L"\"C:\\demo.dem\"");
    const HWND box = probe::WaitForMessageBox(second.id, kTimeoutMs);
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_TIMES", nullptr);
    ASSERT_NE(box, nullptr) << "the second loader said nothing";
    EXPECT_NE(probe::ReadMessageBox(box).text.find(L"already playing"), std::wstring::npos);
    EXPECT_EQ(WaitForSingleObject(game.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the game ended too soon";
    probe::PressButton(box, L"OK");
    EXPECT_TRUE(second.WaitForExit(kTimeoutMs));
    TerminateProcess(game.get(), 0);
    ASSERT_EQ(WaitForSingleObject(game.get(), kTimeoutMs), static_cast<DWORD>(WAIT_OBJECT_0));
    const std::string started = ReadBytes(times).value_or("");
    EXPECT_EQ(started.find("started"), started.rfind("started")) << "a second game was started:\n" << started;

    // Once that game has ended, the next demo plays.
    SetStandIn(0, 0);
    EXPECT_TRUE(PlayToThanks(L"\"C:\\demo.dem\"").scriptFound);
}

// A game at a drive's root (Q:, made by the test session) has the folder
// "Q:", which as a current folder would mean the loader's own folder on Q:.
TEST_F(Loader, StartsAGameAtADrivesRootInThatRoot)
{
    const std::wstring demos = L"Q:\\Loader Demos";
    RemoveTree(demos);
    MakeFolders(demos);
    ASSERT_TRUE(Exists(demos)) << "the test session has no drive Q:";
    game_ = MakeGameFolder(L"Q:");
    WriteSettings(game_.exe, L"Q:");
    WriteBytes(demos + L"\\demo.dem", "demo");

    const StandInRecord record = PlayToThanks(L"\"demo.dem\"", demos);
    EXPECT_EQ(record.currentDirectory, L"Q:\\");
    EXPECT_EQ(record.script, "demoplay \"Q:\\Loader Demos\\demo.dem\"");
    RemoveTree(L"Q:\\System");
    RemoveTree(demos);
}

// Demo paths the game reads otherwise than Windows: the game must play the
// user's demo all the same, in place where it can, and leave nothing behind.
// The suite runs again under the Russian, Polish and Japanese code pages
// (DRAVIK_CODE_PAGE names the one expected).
struct DemoPathCase {
    const char* name;
    const wchar_t* path;  // below the test folder
    enum Kind { Plain, ReadOnly, HeldOpen } kind;
    // How the game gets it: from where it is, the short form or any other,
    // a hard link or a copy in its System folder.
    enum Form { InPlace, Any, Link, Copy } form;
    // Where not 0, the file's name is padded so that its full path has
    // exactly this many characters.
    std::size_t length = 0;
};

void ExpectPlayedAs(const StandInRecord& record, const std::wstring& demo, DemoPathCase::Form form)
{
    const bool fromSystem = record.demoFile.rfind(L"\\System\\Dravik-") != std::wstring::npos;
    switch (form) {
    case DemoPathCase::InPlace:
        EXPECT_EQ(record.demoFile, demo) << "not played from where it is";
        break;
    case DemoPathCase::Link:
        EXPECT_TRUE(fromSystem && record.demoLinks == 2) << "not a link: " << Narrow(record.demoFile);
        break;
    case DemoPathCase::Copy:
        EXPECT_TRUE(fromSystem && record.demoLinks == 1) << "not a copy: " << Narrow(record.demoFile);
        break;
    case DemoPathCase::Any:
        break;
    }
}

void PrintTo(const DemoPathCase& c, std::ostream* out)
{
    *out << c.name;
}

class LoaderDemoPath : public Loader, public ::testing::WithParamInterface<DemoPathCase> {};

TEST_P(LoaderDemoPath, TheGamePlaysTheUsersDemoAndNothingIsLeftInItsFolders)
{
    wchar_t expected[16];
    if (GetEnvironmentVariableW(L"DRAVIK_CODE_PAGE", expected, 16) > 0) {
        ASSERT_EQ(GetACP(), std::wcstoul(expected, nullptr, 10)) << "is the locale made (dev.sh makes it)?";
    }
    const DemoPathCase& c = GetParam();
    std::wstring demo = root_ + L"\\" + c.path;
    if (c.length != 0) {
        ASSERT_LT(demo.size(), c.length) << "the test folder's path is too long for the case";
        demo.insert(demo.size() - 4, c.length - demo.size(), L'x');
    }
    MakeFolders(demo.substr(0, demo.rfind(L'\\')));
    const std::string bytes = std::string("the demo ") + c.name;
    WriteBytes(demo, bytes);
    if (c.kind == DemoPathCase::ReadOnly) {
        SetFileAttributesW(demo.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    UniqueHandle held;
    if (c.kind == DemoPathCase::HeldOpen) {
        held.reset(CreateFileW(demo.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
    }

    const StandInRecord record = PlayToThanks(L"\"" + demo + L"\"");
    EXPECT_EQ(record.codePage, GetACP());
    ASSERT_TRUE(record.demoOpened) << "the game opened no demo: " << record.demoWhy;
    EXPECT_EQ(record.demo, bytes) << "the game played another file";
    ExpectPlayedAs(record, demo, c.form);
    EXPECT_EQ(LeftInGameFolders(), std::vector<std::wstring>());
    EXPECT_EQ(ReadBytes(demo).value_or("missing"), bytes);
    EXPECT_EQ(GetFileAttributesW(demo.c_str()) & FILE_ATTRIBUTE_READONLY,
              c.kind == DemoPathCase::ReadOnly ? DWORD{FILE_ATTRIBUTE_READONLY} : 0u);
    SetFileAttributesW(demo.c_str(), FILE_ATTRIBUTE_NORMAL);
}

INSTANTIATE_TEST_SUITE_P(
    Loader, LoaderDemoPath,
    ::testing::Values(
        DemoPathCase{"PlainWithBlanks", L"My Demos\\duel 1.dem", DemoPathCase::Plain, DemoPathCase::InPlace},
        DemoPathCase{"HashInAFolder", L"Clan #1\\match.dem", DemoPathCase::Plain, DemoPathCase::Any},
        DemoPathCase{"DemInAFolderName", L"ut2003.demos\\final.dem", DemoPathCase::Plain, DemoPathCase::Link},
        DemoPathCase{"DemInAUserFolder", L"Users\\j.demir\\match.dem", DemoPathCase::Plain, DemoPathCase::Any},
        DemoPathCase{"DemEarlierInTheName", L"final.demo.dem", DemoPathCase::Plain, DemoPathCase::Any},
        DemoPathCase{"Latin1Letters", L"D\u00e9mos \u00e9t\u00e9\\\u00c7a va, Se\u00f1or \u00ff.dem", DemoPathCase::Plain,
                     DemoPathCase::InPlace},
        DemoPathCase{"Windows1252LettersOutsideLatin1", L"Clan \u2013 \u201cbest\u201d\\\u0160\u0152\u017e\u0178 \u20ac.dem",
                     DemoPathCase::Plain, DemoPathCase::Any},
        DemoPathCase{"Cyrillic", L"\u0414\u0435\u043c\u043a\u0438\\\u043c\u0430\u0442\u0447.dem", DemoPathCase::Plain,
                     DemoPathCase::Any},
        DemoPathCase{"Polish", L"Mecze\\\u0141\u00f3d\u017a \u017c\u00f3\u0142w.dem", DemoPathCase::Plain, DemoPathCase::Any},
        DemoPathCase{"Japanese", L"\u30c7\u30e2\\\u8a66\u5408.dem", DemoPathCase::Plain, DemoPathCase::Any},
        DemoPathCase{"LongerThanMaxPath",
                     L"Long\\a folder with a long name, the first\\a folder with a long name, the second\\"
                     L"a folder with a long name, the third\\a folder with a long name, the fourth\\"
                     L"a folder with a long name, the fifth\\duel.dem",
                     DemoPathCase::Plain, DemoPathCase::Any},
        // The game reads 245 characters of a path from its script's line
        // (kLongestScriptPath); Windows' MAX_PATH is 260.
        DemoPathCase{"LongestTheGameReads", L"Long\\a.dem", DemoPathCase::Plain, DemoPathCase::InPlace, 245},
        DemoPathCase{"OneLongerThanTheGameReads", L"Long\\a.dem", DemoPathCase::Plain, DemoPathCase::Any, 246},
        DemoPathCase{"LongestWindowsTakes", L"Long\\a.dem", DemoPathCase::Plain, DemoPathCase::Any, 259},
        DemoPathCase{"ReadOnly", L"ut2003.demos\\read-only.dem", DemoPathCase::ReadOnly, DemoPathCase::Copy},
        DemoPathCase{"HeldOpenByAnotherProgram", L"ut2003.demos\\held open.dem", DemoPathCase::HeldOpen, DemoPathCase::Copy}),
    [](const ::testing::TestParamInfo<DemoPathCase>& info) { return std::string(info.param.name); });

// A demo on another volume than the game's cannot be linked: it is copied.
// Z: is Wine's view of the Linux root, where /dev/shm is a file system of its
// own (tmpfs).
TEST_F(Loader, CopiesADemoOnAnotherVolume)
{
    struct Folder {
        std::wstring path;
        ~Folder() { RemoveTree(path); }
    } const volume{L"Z:\\dev\\shm\\dravik-loader-test-" + std::to_wstring(GetCurrentProcessId())};
    const std::wstring demo = volume.path + L"\\ut2003.demos\\final.dem";
    MakeFolders(volume.path + L"\\ut2003.demos");
    WriteBytes(demo, "another volume");
    const std::wstring link = game_.system + L"\\same volume.dem";
    if (CreateHardLinkW(link.c_str(), demo.c_str(), nullptr)) {
        DeleteFileW(link.c_str());
        GTEST_SKIP() << "/dev/shm is on the game's volume here";
    }

    const StandInRecord record = PlayToThanks(L"\"" + demo + L"\"");
    EXPECT_EQ(record.demo, "another volume");
    ExpectPlayedAs(record, demo, DemoPathCase::Copy);
    EXPECT_EQ(LeftInGameFolders(), std::vector<std::wstring>());
    EXPECT_EQ(ReadBytes(demo).value_or("missing"), "another volume");
}

// Links and copies that a loader ended before its game left behind go at the
// next one, except those still in use, and nothing else in the folder does.
// After every game, also one played in place.
TEST_F(Loader, SweepsAwayLinksAndCopiesThatEarlierLoadersLeft)
{
    const std::wstring stale = game_.system + L"\\" + TemporaryDemoName(0x10, 0x1234);
    const std::wstring inUse = game_.system + L"\\" + TemporaryDemoName(0x20, 0x5678);
    const std::wstring others[] = {game_.system + L"\\Dravik-duel.dem", game_.system + L"\\Dravik-10-1234.dem"};
    for (const std::wstring& file : {inUse, others[0], others[1]}) {
        WriteBytes(file, "old");
    }
    const UniqueHandle held(CreateFileW(inUse.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    MakeFolders(root_ + L"\\ut2003.demos");
    WriteBytes(root_ + L"\\ut2003.demos\\final.dem", "final");

    for (const std::wstring& demo : {root_ + L"\\ut2003.demos\\final.dem", std::wstring(L"C:\\demo.dem")}) {
        WriteBytes(stale, "old");
        const StandInRecord record = PlayToThanks(L"\"" + demo + L"\"");
        EXPECT_EQ(record.demo, ReadBytes(demo));
        EXPECT_FALSE(Exists(stale)) << Narrow(demo);
        EXPECT_TRUE(Exists(inUse));
        for (const std::wstring& other : others) {
            EXPECT_TRUE(Exists(other)) << Narrow(other);
        }
    }
}

// Thanks, an error status, a game that does not start: each time the link
// goes with the game.
TEST_F(Loader, RemovesTheLinkOrCopyAfterTheGameOnEveryPath)
{
    const std::wstring demo = root_ + L"\\ut2003.demos\\final.dem";
    MakeFolders(root_ + L"\\ut2003.demos");
    WriteBytes(demo, "final");
    SetStandIn(0, static_cast<int>(0xC0000005u));
    for (const bool starts : {true, false}) {
        if (!starts) {
            WriteBytes(game_.exe, "not a program");
        }
        const Program loader = Start(LoaderPath(), L"\"" + demo + L"\"");
        const HWND error = probe::WaitForMessageBox(loader.id, kTimeoutMs);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(probe::ReadMessageBox(error).title, kErrorTitle);
        if (starts) {
            const auto record = WaitForStandInRecord(game_, kTimeoutMs);
            ASSERT_TRUE(record);
            EXPECT_EQ(record->demo, "final");
        }
        EXPECT_EQ(LeftInGameFolders(), std::vector<std::wstring>()) << "the game started: " << starts;
        CloseAfterError(loader, error);
    }
    EXPECT_EQ(ReadBytes(demo).value_or("missing"), "final");
}

// A game folder whose path the game cannot read either, in no form: no place
// for a link or copy. The loader says why and starts nothing.
TEST_F(Loader, SaysWhyADemoCannotBePlayedAndStartsNothing)
{
    game_ = MakeGameFolder(root_ + L"\\UT2003.demos");
    WriteSettings(game_.exe, game_.folder);
    const std::wstring demo = root_ + L"\\Clan.demos\\final.dem";
    MakeFolders(root_ + L"\\Clan.demos");
    WriteBytes(demo, "final");

    const Program loader = Start(LoaderPath(), L"\"" + demo + L"\"");
    const HWND error = probe::WaitForMessageBox(loader.id, kTimeoutMs);
    ASSERT_NE(error, nullptr);
    const probe::MessageBoxView view = probe::ReadMessageBox(error);
    EXPECT_EQ(view.text.rfind(L"ErrorThe game cannot open the demo " + demo + L" where it is", 0), 0u)
        << Narrow(view.text);
    EXPECT_NE(view.text.find(L"\".dem\" before its end"), std::wstring::npos) << Narrow(view.text);
    EXPECT_NE(view.text.find(game_.system), std::wstring::npos) << Narrow(view.text);
    EXPECT_EQ(view.icon, probe::MessageIcon::Error);
    EXPECT_FALSE(GameWasStarted(game_));
    EXPECT_FALSE(Exists(game_.system + L"\\udemo.ini"));
    EXPECT_EQ(LeftInGameFolders(), std::vector<std::wstring>());
    CloseAfterError(loader, error);
}

// Each way the loader can fail before the game runs, and what must hold then.
struct FailureCase {
    const char* name;
    GameParts parts;
    enum Settings { None, Stored, Disagreeing } settings;
    const wchar_t* argument;
    const wchar_t* says;  // a part of the description, where it is the loader's own
};

class LoaderFailure : public Loader, public ::testing::WithParamInterface<FailureCase> {};

bool HasTheGame(GameParts parts)
{
    return parts != GameParts::NoGameFolder && parts != GameParts::NoSystemFolder && parts != GameParts::NoGame;
}

TEST_P(LoaderFailure, ShowsTheErrorMessageStartsNothingAndKeepsAnEmptyWindowUntilClosed)
{
    const FailureCase& c = GetParam();
    game_ = MakeGameFolder(root_ + L"\\Broken Game", c.parts);
    WriteSettings(game_.exe, game_.folder);
    // A path of another game than the folder's, where a wrong start would
    // find a game.
    const GameFolder other = MakeGameFolder(root_ + L"\\Other Game");
    if (c.settings == FailureCase::Disagreeing) {
        WriteSettings(other.exe, game_.folder);
    }
    // Without settings the literal paths would point at \System on this drive.
    const std::wstring driveScript = L"C:\\System\\udemo.ini";
    MakeFolders(L"C:\\System");
    DeleteFileW(driveScript.c_str());
    if (c.settings == FailureCase::None) {
        DeleteSettings();
    }

    // A script that stands in the way stays as it was.
    const std::wstring script = game_.system + L"\\udemo.ini";
    const std::optional<std::string> scriptBefore = ReadBytes(script);
    UniqueHandle held;
    if (c.parts == GameParts::ReadOnlyScript &&
        UniqueHandle(CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr))) {
        GTEST_SKIP() << "this Wine writes read-only files (it runs as root, on a file system without Linux's "
                        "immutable flag); Windows refuses";
    }
    if (c.parts == GameParts::LockedScript) {
        held.reset(CreateFileW(script.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
    }

    const Program loader = Start(LoaderPath(), c.argument, root_);
    const HWND error = probe::WaitForMessageBox(loader.id, kTimeoutMs);
    ASSERT_NE(error, nullptr) << "no error message";
    const probe::MessageBoxView view = probe::ReadMessageBox(error);
    EXPECT_EQ(view.text.rfind(L"Error", 0), 0u) << Narrow(view.text);
    EXPECT_GT(view.text.size(), 5u) << "the description is missing";
    EXPECT_EQ(view.title, kErrorTitle);
    EXPECT_EQ(view.icon, probe::MessageIcon::Error);
    EXPECT_EQ(view.buttons, std::vector<std::wstring>{L"OK"});
    if (HasTheGame(c.parts)) {
        EXPECT_FALSE(GameWasStarted(game_));
    }
    EXPECT_FALSE(Exists(driveScript));
    if (c.settings != FailureCase::Stored) {
        EXPECT_NE(view.text.find(L"Dravik.exe"), std::wstring::npos) << "tells the user to run the setup";
    }
    EXPECT_FALSE(GameWasStarted(other));
    if (c.says != nullptr) {
        EXPECT_NE(view.text.find(c.says), std::wstring::npos) << Narrow(view.text);
        held.reset();
        EXPECT_EQ(ReadBytes(script), scriptBefore) << "a script for a demo that cannot be played";
    }
    if (c.parts == GameParts::NotAProgram) {
        // Windows' text names the file with an insert: "%1 is not a valid Win32 application."
        EXPECT_NE(view.text.find(game_.exe), std::wstring::npos) << Narrow(view.text);
        EXPECT_EQ(view.text.find(L"%1"), std::wstring::npos) << Narrow(view.text);
    }

    probe::PressButton(error, L"OK");
    const HWND window = WaitForEmptyWindow(loader);
    ASSERT_NE(window, nullptr) << "no empty window after the error";
    EXPECT_EQ(probe::WindowText(window), L"");
    EXPECT_TRUE(probe::ChildWindows(window).empty());
    EXPECT_TRUE(ShowsApplicationIcon(window)) << "the title bar carries the application icon";
    RECT client;
    GetClientRect(window, &client);
    const int dpi = static_cast<int>(WindowDpi(window));
    EXPECT_EQ(client.right, TwipsToPixels(6585, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(11835, dpi));
    EXPECT_FALSE(loader.WaitForExit(300)) << "the loader must wait for the user";

    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    EXPECT_TRUE(loader.WaitForExit(kTimeoutMs, &exitCode)) << "closing the window ends the loader";
    EXPECT_EQ(exitCode, 1u);
    // Where there is no UT2003.exe, no start could find one (a full path
    // that names nothing starts nothing), so that cannot be checked there.
    if (HasTheGame(c.parts)) {
        EXPECT_FALSE(GameWasStarted(game_));
    }
}

TEST_F(Loader, SizesItsEmptyWindowInTwipsAt144Dpi)
{
    BecomeDpiAware();
    DeleteSettings();
    SetScreenDpi(144);
    const Program loader = Start(LoaderPath(), L"\"C:\\demo.dem\"");
    const HWND error = probe::WaitForMessageBox(loader.id, kTimeoutMs);
    SetScreenDpi(96);
    ASSERT_NE(error, nullptr);
    probe::PressButton(error, L"OK");
    const HWND window = WaitForEmptyWindow(loader);
    ASSERT_NE(window, nullptr);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 659);
    EXPECT_EQ(client.bottom, 1184);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(loader.WaitForExit(kTimeoutMs));
}

INSTANTIATE_TEST_SUITE_P(
    Loader, LoaderFailure,
    // Where the game is not as Dravik.exe stored it, the message names the
    // path and says to run Dravik.exe again.
    ::testing::Values(FailureCase{"NoGameFolder", GameParts::NoGameFolder, FailureCase::Stored, L"\"C:\\demo.dem\"",
                                  L"\\Broken Game. Run Dravik.exe again and correct the path of UT2003.exe"},
                      FailureCase{"NoSystemFolder", GameParts::NoSystemFolder, FailureCase::Stored, L"\"C:\\demo.dem\"",
                                  L"\\Broken Game has no System folder. Run Dravik.exe again"},
                      FailureCase{"NoGame", GameParts::NoGame, FailureCase::Stored, L"\"C:\\demo.dem\"",
                                  L"There is no UT2003.exe at C:\\Dravik Tests\\"},
                      FailureCase{"GameIsAFolder", GameParts::GameIsAFolder, FailureCase::Stored, L"\"C:\\demo.dem\"",
                                  L"\\System\\UT2003.exe is a folder, not the game. Run Dravik.exe again"},
                      FailureCase{"ScriptIsAFolder", GameParts::ScriptIsAFolder, FailureCase::Stored, L"\"C:\\demo.dem\"",
                                  L"\\System\\udemo.ini where Dravik writes the game's script"},
                      FailureCase{"ReadOnlyScript", GameParts::ReadOnlyScript, FailureCase::Stored, L"\"C:\\demo.dem\"",
                                  L"\\System\\udemo.ini is read-only"},
                      FailureCase{"LockedScript", GameParts::LockedScript, FailureCase::Stored, L"\"C:\\demo.dem\"",
                                  L"\\System\\udemo.ini open, so Dravik cannot write"},
                      FailureCase{"GameIsNotAProgram", GameParts::NotAProgram, FailureCase::Stored, L"\"C:\\demo.dem\"", nullptr},
                      FailureCase{"NoSettings", GameParts::Complete, FailureCase::None, L"\"C:\\demo.dem\"", nullptr},
                      FailureCase{"MissingDemo", GameParts::Complete, FailureCase::Stored, L"\"C:\\no such demo.dem\"",
                                  L"There is no demo file at C:\\no such demo.dem."},
                      FailureCase{"MissingDemoWithLettersTheCodePageLacks", GameParts::Complete, FailureCase::Stored,
                                  L"\"C:\\missing \u6f14\u793a.dem\"", L"There is no demo file"},
                      FailureCase{"MissingDemoWithAQuoteWithoutItsPair", GameParts::Complete, FailureCase::Stored,
                                  L"\"C:\\no such demo.dem", L"There is no demo file at C:\\no such demo.dem."},
                      FailureCase{"AFolder", GameParts::Complete, FailureCase::Stored, L"\"C:\\windows\" ",
                                  L"C:\\windows is a folder, not a demo file."},
                      FailureCase{"ADevice", GameParts::Complete, FailureCase::Stored, L"\"CON\"", L"\\\\.\\CON is a device, not a demo file."},
                      FailureCase{"PathAndFolderDisagree", GameParts::Complete, FailureCase::Disagreeing,
                                  L"\"C:\\demo.dem\"", L"Other Game\\System\\UT2003.exe, is not in the stored game folder"},
                      FailureCase{"AUT2004Demo", GameParts::Complete, FailureCase::Stored, L"\"C:\\ut2004.dem\"",
                                  L"C:\\ut2004.dem is a UT2004 demo, which UT2003 cannot play."}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dravik::test
