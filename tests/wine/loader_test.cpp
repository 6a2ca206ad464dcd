// loader.exe under Wine, with the stand-in game, driven through its windows.
#include "ansi_text.h"
#include "dpi.h"
#include "failure.h"
#include "loader_rules.h"
#include "maker.h"
#include "test_support.h"
#include "twips.h"
#include "window_probe.h"

#include <gtest/gtest.h>

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

// The window the loader keeps open after an error: any of its windows that
// is not a message box.
HWND WaitForEmptyWindow(const Program& loader)
{
    return probe::WaitFor(5000, [&loader]() -> HWND {
        for (const HWND candidate : probe::TopLevelWindows(loader.id)) {
            if (probe::ClassName(candidate) != L"#32770") {
                return candidate;
            }
        }
        return nullptr;
    });
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
            probe::PressButton(thanks, L"OK");
        }
        DWORD exitCode = 1;
        EXPECT_TRUE(loader.WaitForExit(kTimeoutMs, &exitCode)) << "the loader did not end after OK";
        EXPECT_EQ(exitCode, 0u);
        return record.value_or(StandInRecord{});
    }

    std::wstring root_;
    GameFolder game_;
};

TEST_F(Loader, WritesTheScriptLineWithAnAbsoluteDemoPathAndReplacesAnyEarlierScript)
{
    const std::wstring demo = root_ + L"\\My Demos\\duel 1.dem";
    MakeFolders(root_ + L"\\My Demos");
    MakeFolders(L"C:\\demos");
    WriteBytes(demo, "demo");
    WriteBytes(L"C:\\demos\\duel.dem", "demo");
    struct Case {
        std::wstring argument;
        std::string script;
        std::wstring folder;  // the loader's current folder
    };
    // The game runs in its own folder: a relative path is made absolute
    // against the folder the loader was started in.
    const std::vector<Case> cases = {
        {L"\"" + demo + L"\"", "demoplay \"" + Narrow(demo) + "\"", L""},
        {L"C:\\demos\\duel.dem", "demoplay C:\\demos\\duel.dem", L""},
        {L"", "demoplay ", L""},
        {L"\"My Demos\\duel 1.dem\"", "demoplay \"" + Narrow(demo) + "\"", root_},
        {L"..\\My Demos\\.\\duel 1.dem", "demoplay " + Narrow(demo), game_.folder},
    };
    const std::wstring script = game_.system + L"\\udemo.ini";
    for (const Case& c : cases) {
        WriteBytes(script, "demoplay \"C:\\an earlier, much longer path\\to an older demo.dem\"\r\n");
        const StandInRecord record = PlayToThanks(c.argument, c.folder);
        EXPECT_TRUE(record.scriptFound);
        EXPECT_EQ(record.script, c.script) << "as the game found it, for argument " << Narrow(c.argument);
        EXPECT_EQ(ReadBytes(script).value_or("missing"), c.script);
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
    // A DLL the game needs is missing; the game crashed; it hit a breakpoint.
    for (const DWORD status : {0xC0000135u, 0xC0000005u, 0x80000003u}) {
        SetStandIn(0, static_cast<int>(status));
        const Program loader = Start(LoaderPath(), L"\"C:\\demo.dem\"");
        const HWND error = probe::WaitForMessageBox(loader.id, kTimeoutMs);
        ASSERT_NE(error, nullptr);
        const probe::MessageBoxView view = probe::ReadMessageBox(error);
        const std::wstring hex = HexStatus(status);
        EXPECT_EQ(view.text.rfind(L"ErrorThe game ended with the error status " + hex, 0), 0u) << Narrow(view.text);
        EXPECT_EQ(view.text.find(L'%'), std::wstring::npos) << Narrow(view.text);
        EXPECT_EQ(view.title, kErrorTitle);
        EXPECT_EQ(view.icon, probe::MessageIcon::Error);
        probe::PressButton(error, L"OK");
        const HWND window = WaitForEmptyWindow(loader);
        ASSERT_NE(window, nullptr);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(loader.WaitForExit(kTimeoutMs));
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
    const probe::MessageBoxView view = probe::ReadMessageBox(box);
    EXPECT_NE(view.text.find(L"already playing"), std::wstring::npos) << Narrow(view.text);
    EXPECT_NE(view.text.find(L"Quit the game"), std::wstring::npos) << Narrow(view.text);
    EXPECT_EQ(view.icon, probe::MessageIcon::Information);
    EXPECT_EQ(view.buttons, std::vector<std::wstring>{L"OK"});
    probe::PressButton(box, L"OK");
    DWORD exitCode = 1;
    EXPECT_TRUE(loaders[second].WaitForExit(kTimeoutMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);

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
    SetStandIn(6000, 0);
    const Program first = Start(LoaderPath(), L"\"C:\\demo.dem\"");
    const auto record = WaitForStandInRecord(game_, kTimeoutMs);
    ASSERT_TRUE(record) << "the game was not started";
    const UniqueHandle game(OpenProcess(SYNCHRONIZE, FALSE, record->pid));
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

TEST_F(Loader, WritesADemoPathTheCodePageLacksInItsShortForm)
{
    if (GetACP() == CP_UTF8) {
        GTEST_SKIP() << "every path can be written in UTF-8";
    }
    const std::wstring folder = root_ + L"\\\u0414\u0435\u043c\u043e \u6f14\u793a";
    MakeFolders(folder);
    const std::wstring demo = folder + L"\\\u0434\u0443\u044d\u043b\u044c.dem";
    WriteBytes(demo, "demo");
    ASSERT_FALSE(ToAnsi(demo)) << "the test path must hold letters outside the code page";

    wchar_t shortPath[MAX_PATH];
    ASSERT_GT(GetShortPathNameW(demo.c_str(), shortPath, MAX_PATH), 0u);

    const StandInRecord record = PlayToThanks(L"\"" + demo + L"\"");
    EXPECT_EQ(record.script, ToAnsi(L"demoplay \"" + std::wstring(shortPath) + L"\"").value_or("?"));
}

// Each way the loader can fail before the game runs, and what must hold then.
struct FailureCase {
    const char* name;
    GameParts parts;
    bool settings;
    const wchar_t* argument;
    const wchar_t* says;  // a part of the description, where it is the loader's own
};

class LoaderFailure : public Loader, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LoaderFailure, ShowsTheErrorMessageStartsNothingAndKeepsAnEmptyWindowUntilClosed)
{
    const FailureCase& c = GetParam();
    game_ = MakeGameFolder(root_ + L"\\Broken Game", c.parts);
    WriteSettings(game_.exe, game_.folder);
    // Without settings the literal paths would point at \System on this drive.
    const std::wstring driveScript = L"C:\\System\\udemo.ini";
    MakeFolders(L"C:\\System");
    DeleteFileW(driveScript.c_str());
    if (!c.settings) {
        DeleteSettings();
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
    EXPECT_FALSE(GameWasStarted(game_));
    EXPECT_FALSE(Exists(driveScript));
    if (!c.settings) {
        EXPECT_NE(view.text.find(L"Dravik.exe"), std::wstring::npos) << "tells the user to run the setup";
    }
    if (c.says != nullptr) {
        EXPECT_NE(view.text.find(c.says), std::wstring::npos) << Narrow(view.text);
        EXPECT_FALSE(Exists(game_.system + L"\\udemo.ini")) << "a script for a demo that is not there";
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
    EXPECT_TRUE(loader.WaitForExit(kTimeoutMs)) << "closing the window ends the loader";
    EXPECT_FALSE(GameWasStarted(game_));
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
    ::testing::Values(FailureCase{"NoSystemFolder", GameParts::NoSystemFolder, true, L"\"C:\\demo.dem\"", nullptr},
                      FailureCase{"NoGame", GameParts::NoGame, true, L"\"C:\\demo.dem\"", nullptr},
                      FailureCase{"GameIsNotAProgram", GameParts::NotAProgram, true, L"\"C:\\demo.dem\"", nullptr},
                      FailureCase{"NoSettings", GameParts::Complete, false, L"\"C:\\demo.dem\"", nullptr},
                      FailureCase{"MissingDemo", GameParts::Complete, true, L"\"C:\\no such demo.dem\"",
                                  L"There is no demo file at C:\\no such demo.dem."},
                      FailureCase{"MissingDemoWithLettersTheCodePageLacks", GameParts::Complete, true,
                                  L"\"C:\\missing \u6f14\u793a.dem\"", L"There is no demo file"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dravik::test
