// What loader.exe loads before the game has started, read from Wine's own
// trace of every module each process loads (WINEDEBUG=+loaddll,+pid), in
// the order the loads happened. Asking from outside (EnumProcessModules)
// would race the loader's own timing.
#include "test_support.h"
#include "window_probe.h"

#include <gtest/gtest.h>

#include <cctype>
#include <vector>

namespace dravik::test {
namespace {

constexpr DWORD kTimeoutMs = 15000;

// The index of the first line of that process that loads the DLL, or -1.
// Wine writes the path with its backslashes escaped: L"C:\\windows\\...".
int FirstLoad(const std::vector<std::string>& lines, const std::string& prefix, const std::string& dll)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        for (char& c : line) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (line.compare(0, prefix.size(), prefix) == 0 && line.find(":loaddll:") != std::string::npos &&
            line.find("\\\\" + dll + "\"") != std::string::npos) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Loaded before the game's start, the window DLLs (and crypt32, which loads
// them) would delay it; the loader needs them only once the game has ended.
TEST(LoadOrder, TheLoaderLoadsNoWindowDllBeforeTheGameHasStarted)
{
    const std::wstring root = FreshTestFolder();
    const GameFolder game = MakeGameFolder(root + L"\\Game");
    WriteSettings(game.exe, game.folder);
    // Long enough for the loader to load its window DLLs while the game runs.
    SetStandIn(1500, 0);
    WriteBytes(root + L"\\demo.dem", "demo");
    const std::string before = ReadBytes(WineTraceLogPath()).value_or("");

    // Inherited by the loader and the game it starts, whose traces go to
    // this run's standard error.
    SetEnvironmentVariableW(L"WINEDEBUG", L"+loaddll,+pid");
    const Program loader = Start(LoaderPath(), L"\"" + root + L"\\demo.dem\"");
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all");
    const auto record = WaitForStandInRecord(game, kTimeoutMs);
    ASSERT_TRUE(record) << "the game was not started";
    EXPECT_EQ(record->script, "demoplay \"" + Narrow(root) + "\\demo.dem\"");
    const HWND thanks = probe::WaitForMessageBox(loader.id, kTimeoutMs);
    ASSERT_NE(thanks, nullptr) << "no thank-you message";
    probe::PressButton(thanks, L"OK");
    ASSERT_TRUE(loader.WaitForExit(kTimeoutMs));

    const std::optional<std::string> log = ReadBytes(WineTraceLogPath());
    ASSERT_TRUE(log) << "no trace log";
    const std::vector<std::string> lines = TraceLines(log->substr(before.size()));
    const int gameStarted = FirstLoad(lines, TracePrefix(record->pid), "ut2003.exe");
    ASSERT_GE(gameStarted, 0) << "the trace shows no start of the game";
    // The thank-you needs user32: without its line the trace is not the loader's.
    ASSERT_GE(FirstLoad(lines, TracePrefix(loader.id), "user32.dll"), 0) << "the trace shows no loads of the loader";
    for (const char* dll : {"user32.dll", "gdi32.dll", "imm32.dll", "crypt32.dll"}) {
        const int loaded = FirstLoad(lines, TracePrefix(loader.id), dll);
        EXPECT_TRUE(loaded < 0 || loaded > gameStarted) << "the loader loaded " << dll << " before the game started";
    }
}

}  // namespace
}  // namespace dravik::test
