// dravik-bench.exe: times loader.exe and Dravik.exe against minimal programs
// that do the same Windows work, and reports their memory and file sizes.
//
//   dravik-bench --loader <exe> --setup <exe> --standin <exe> --launcher <exe>
//                --minimal-loader <exe> --setup-window <exe> --bare <exe>
//                --size-floor <exe> [--runs <n>]
//
// Times are QueryPerformanceCounter readings, which are system-wide, so a
// start taken here and the stand-in game's own reading can be subtracted.
#include "clock.h"
#include "window_probe.h"
#include "rules/game_paths.h"
#include "shared/game_names.h"
#include "shared/settings_record.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kGame[] = L"C:\\Bench\\Game";
constexpr wchar_t kGameExe[] = L"C:\\Bench\\Game\\System\\UT2003.exe";
constexpr wchar_t kDemo[] = L"C:\\Bench\\demo.dem";
constexpr wchar_t kTimes[] = L"C:\\Bench\\standin-times.txt";
constexpr DWORD kTimeoutMs = 30000;

[[noreturn]] void Fail(const std::wstring& what)
{
    std::fwprintf(stderr, L"\ndravik-bench: %ls\n", what.c_str());
    std::exit(1);
}

struct Started {
    HANDLE process = nullptr;
    DWORD id = 0;
    LONGLONG t0 = 0;  // just before CreateProcessW
};

Started Start(const std::wstring& commandLine, const wchar_t* folder = nullptr)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    Started started;
    started.t0 = Now();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &info)) {
        Fail(L"cannot start " + commandLine + L" (error " + std::to_wstring(GetLastError()) + L")");
    }
    CloseHandle(info.hThread);
    started.process = info.hProcess;
    started.id = info.dwProcessId;
    return started;
}

// Ends a program this harness started, so that a failed run leaves nothing behind.
[[noreturn]] void Abandon(const Started& program, const std::wstring& what)
{
    TerminateProcess(program.process, 1);
    Fail(what);
}

void WaitEnd(const Started& program)
{
    if (WaitForSingleObject(program.process, kTimeoutMs) != WAIT_OBJECT_0) {
        Abandon(program, L"a program did not end in time");
    }
    CloseHandle(program.process);
}

// Looks for a window about every millisecond until it shows or the program
// ends; `seen` is read the moment it is found. Null when it never showed.
HWND Poll(const Started& program, const std::function<HWND()>& find, LONGLONG& seen)
{
    const ULONGLONG deadline = GetTickCount64() + kTimeoutMs;
    do {
        if (const HWND window = find()) {
            seen = Now();
            return window;
        }
    } while (WaitForSingleObject(program.process, 1) == WAIT_TIMEOUT && GetTickCount64() < deadline);
    return nullptr;
}

double PeakWorkingSetKiB(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    return K32GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PeakWorkingSetSize / 1024.0 : 0.0;
}

// The stand-in game's "started" and "ending" readings of the last run.
struct GameTimes {
    LONGLONG started = 0;
    LONGLONG ending = 0;
};

GameTimes TakeGameTimes()
{
    GameTimes times;
    if (FILE* file = _wfopen(kTimes, L"r")) {
        char label[16];
        long long value = 0;
        while (std::fscanf(file, "%15s %lld", label, &value) == 2) {
            (std::strcmp(label, "started") == 0 ? times.started : times.ending) = value;
        }
        std::fclose(file);
    }
    DeleteFileW(kTimes);
    if (times.started == 0 || times.ending == 0) {
        Fail(L"the stand-in game recorded no times: is it built with DRAVIK_STANDIN_TIMES support?");
    }
    return times;
}

void SetText(HKEY root, const wchar_t* key, REGSAM view, const wchar_t* name, const std::wstring& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &handle, nullptr) != ERROR_SUCCESS ||
        RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
        Fail(std::wstring(L"cannot write the registry value ") + name);
    }
    RegCloseKey(handle);
}

// How long the stand-in game runs: a second, far sooner than a real game
// ends, so that only the programs' own cost is left; or not at all.
void SetGameMs(int ms)
{
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_MS", std::to_wstring(ms).c_str());
}

// A set-up game, as Dravik.exe would leave it, with the stand-in as the game.
void PrepareGame(const std::wstring& standIn)
{
    for (const wchar_t* folder : {L"C:\\Bench", kGame, L"C:\\Bench\\Game\\System"}) {
        CreateDirectoryW(folder, nullptr);
    }
    if (!CopyFileW(standIn.c_str(), kGameExe, FALSE)) {
        Fail(L"cannot copy the stand-in game " + standIn);
    }
    CloseHandle(CreateFileW(kDemo, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    SetText(HKEY_CURRENT_USER, dravik::kSettingsKey, 0, dravik::kPathValue, kGameExe);
    SetText(HKEY_CURRENT_USER, dravik::kSettingsKey, 0, dravik::kGeneralValue, kGame);
    // The game's install record, from which Dravik.exe fills its text box.
    SetText(HKEY_LOCAL_MACHINE, dravik::kInstallRecordKey, KEY_WOW64_32KEY, dravik::kInstallRecordValue, kGame);
    // A game that shows nothing.
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_WINDOW", L"0");
    SetGameMs(1000);
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_TIMES", kTimes);
    DeleteFileW(kTimes);
}

struct Samples {
    std::vector<double> loaderStart, floorStart, thanks, setupPainted, setupWindowPainted, barePainted;
    // The minimal loader, whose window DLLs are loaded from its start.
    std::vector<double> minimalStart, minimalThanks;
    // A game that ends at once, before the loader has loaded its window DLLs.
    std::vector<double> quickStart, quickThanks, minimalQuickStart, minimalQuickThanks;
    // A game of 1 s that leaves a log of 4 MiB, which the loader reads; the
    // same game writing the same log where the loader does not look.
    std::vector<double> bigLogStart, bigLogThanks, elsewhereLogStart, elsewhereLogThanks;
    std::vector<double> loaderKiB, setupKiB, bareKiB;
};

// Runs a program that starts the game and thanks the user afterwards:
// start to game start, game end to thank-you shown, and memory.
void RunThanking(const std::wstring& commandLine, const wchar_t* folder, std::vector<double>& start,
                 std::vector<double>& thanks, std::vector<double>* kib)
{
    const Started program = Start(commandLine, folder);
    LONGLONG seen = 0;
    const HWND box = Poll(program, [&] { return probe::FindMessageBox(program.id); }, seen);
    if (box == nullptr) {
        Abandon(program, commandLine + L" showed no message");
    }
    if (kib != nullptr) {
        kib->push_back(PeakWorkingSetKiB(program.process));
    }
    const std::wstring text = probe::WindowText(GetDlgItem(box, 0xFFFF));
    if (text.find(L"Nice demo") == std::wstring::npos) {
        Abandon(program, commandLine + L" showed another message: " + text);
    }
    probe::PressButton(box, L"OK");
    WaitEnd(program);
    const GameTimes game = TakeGameTimes();
    start.push_back(Ms(program.t0, game.started));
    thanks.push_back(Ms(game.ending, seen));
}

// The floor for a: the minimal launcher starts the game as the loader does.
void RunLauncher(const std::wstring& launcher, Samples& samples)
{
    const Started program = Start(L"\"" + launcher + L"\" " + dravik::GameCommandLine(kGameExe), kGame);
    LONGLONG unused = 0;
    // Polled like the loader, so that the harness loads the machine alike.
    Poll(program, [&] { return probe::FindMessageBox(program.id); }, unused);
    WaitEnd(program);
    samples.floorStart.push_back(Ms(program.t0, TakeGameTimes().started));
}

// Painted: neither the window nor any of its controls waits for WM_PAINT.
bool Painted(HWND window)
{
    if (GetUpdateRect(window, nullptr, FALSE)) {
        return false;
    }
    for (const HWND child : probe::ChildWindows(window)) {
        if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
            return false;
        }
    }
    return true;
}

bool EditFilled(HWND window)
{
    for (const HWND child : probe::ChildWindows(window)) {
        if (_wcsicmp(probe::ClassName(child).c_str(), L"Edit") == 0 && !probe::WindowText(child).empty()) {
            return true;
        }
    }
    return false;
}

// The title as the system keeps it: unlike probe::WindowText, no message to
// the window's thread, which answers only from its message loop.
std::wstring Title(HWND window)
{
    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    return title;
}

// c and d: start to a visible, painted window with that title (and a filled
// Edit box). Whether the box is filled is asked only once the window is
// painted: that is a message to the program, which it would answer only
// after any work it does between painting and its message loop.
void RunWindow(const std::wstring& exe, const std::wstring& title, bool filled, std::vector<double>& ms,
               std::vector<double>* kib)
{
    const Started program = Start(L"\"" + exe + L"\"");
    LONGLONG seen = 0;
    const HWND window = Poll(program, [&]() -> HWND {
        for (const HWND candidate : probe::TopLevelWindows(program.id)) {
            if (Title(candidate) == title && Painted(candidate)) {
                return candidate;
            }
        }
        return nullptr;
    }, seen);
    if (window == nullptr) {
        Abandon(program, L"no window titled " + title + L" from " + exe);
    }
    if (filled && !EditFilled(window)) {
        Abandon(program, L"the window of " + exe + L" was painted with an empty text box");
    }
    ms.push_back(Ms(program.t0, seen));
    if (kib != nullptr) {
        kib->push_back(PeakWorkingSetKiB(program.process));
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitEnd(program);
}

struct Stats {
    double median, min, max;
};

Stats Of(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return {(values[(n - 1) / 2] + values[n / 2]) / 2, values.front(), values.back()};
}

void Row(const wchar_t* what, const wchar_t* program, const std::vector<double>& values, int decimals = 2)
{
    const Stats stats = Of(values);
    std::wprintf(L"%-33ls %-12ls %10.*f %10.*f %10.*f\n", what, program, decimals, stats.median, decimals, stats.min,
                 decimals, stats.max);
}

// 32 or 64, from the program's header, so that each figure names its build.
int Bits(const std::wstring& path)
{
    DWORD type = 0;
    return !GetBinaryTypeW(path.c_str(), &type) ? 0 : type == SCS_64BIT_BINARY ? 64 : type == SCS_32BIT_BINARY ? 32 : 0;
}

void SizeRow(const wchar_t* what, const wchar_t* program, const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        std::wprintf(L"%-33ls %-12ls %10ls  (not given or missing: %ls)\n", what, program, L"-", path.c_str());
        return;
    }
    const ULONGLONG size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    std::wprintf(L"%-33ls %-12ls %10llu  %6.1f KiB (%d-bit, %ls)\n", what, program, size, size / 1024.0, Bits(path),
                 path.c_str());
}

// The ratio of the medians, and beside it the median of each round's own
// ratio: the two ran back to back, so a slow moment of the machine, which
// other work on it causes, hits both and cancels out.
void RatioRow(const wchar_t* against, const std::vector<double>& ours, const std::vector<double>& floor,
              const wchar_t* goal)
{
    std::vector<double> rounds;
    for (std::size_t i = 0; i < ours.size() && i < floor.size(); ++i) {
        rounds.push_back(ours[i] / floor[i]);
    }
    std::wprintf(L"%-33ls %-12ls %10.2f %10.2f  %ls\n", L"", against, Of(ours).median / Of(floor).median,
                 Of(rounds).median, goal);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::map<std::wstring, std::wstring> option;
    for (int i = 1; i + 1 < argc; i += 2) {
        option[argv[i]] = argv[i + 1];
    }
    for (const wchar_t* needed : {L"--loader", L"--setup", L"--standin", L"--launcher", L"--minimal-loader",
                                  L"--setup-window", L"--bare", L"--size-floor"}) {
        if (option[needed].empty()) {
            Fail(std::wstring(L"missing ") + needed + L" <exe>; see the head of bench/bench.cpp");
        }
    }
    const int runs = option[L"--runs"].empty() ? 21 : std::max(1, std::stoi(option[L"--runs"]));

    PrepareGame(option[L"--standin"]);
    Samples samples;
    // Round 0 warms Wine's and the disk's caches and is not counted. Each
    // round runs every compared program once, and which of a pair goes first
    // alternates, so that a slow moment of the machine hits both sides alike.
    for (int round = 0; round <= runs; ++round) {
        const std::wstring loaderLine = L"\"" + option[L"--loader"] + L"\" \"" + kDemo + L"\"";
        const std::wstring minimalLine = L"\"" + option[L"--minimal-loader"] + L"\" " + dravik::GameCommandLine(kGameExe);
        const auto loader = [&] {
            RunThanking(loaderLine, nullptr, samples.loaderStart, samples.thanks, &samples.loaderKiB);
        };
        const auto floor = [&] {
            RunLauncher(option[L"--launcher"], samples);
            RunThanking(minimalLine, kGame, samples.minimalStart, samples.minimalThanks, nullptr);
        };
        const auto quickLoader = [&] {
            SetGameMs(0);
            RunThanking(loaderLine, nullptr, samples.quickStart, samples.quickThanks, nullptr);
            SetGameMs(1000);
        };
        const auto quickFloor = [&] {
            SetGameMs(0);
            RunThanking(minimalLine, kGame, samples.minimalQuickStart, samples.minimalQuickThanks, nullptr);
            SetGameMs(1000);
        };
        const auto bigLog = [&] {
            SetEnvironmentVariableW(L"DRAVIK_STANDIN_LOG_PADDING", L"4194304");
            RunThanking(loaderLine, nullptr, samples.bigLogStart, samples.bigLogThanks, nullptr);
            SetEnvironmentVariableW(L"DRAVIK_STANDIN_LOG", L"Elsewhere.log");
            RunThanking(loaderLine, nullptr, samples.elsewhereLogStart, samples.elsewhereLogThanks, nullptr);
            SetEnvironmentVariableW(L"DRAVIK_STANDIN_LOG", nullptr);
            SetEnvironmentVariableW(L"DRAVIK_STANDIN_LOG_PADDING", nullptr);
        };
        const auto setup = [&] {
            RunWindow(option[L"--setup"], L"Dravik", true, samples.setupPainted, &samples.setupKiB);
        };
        const auto setupWindow = [&] {
            RunWindow(option[L"--setup-window"], L"Setup floor", true, samples.setupWindowPainted, nullptr);
        };
        const auto bare = [&] { RunWindow(option[L"--bare"], L"Bare", false, samples.barePainted, &samples.bareKiB); };
        if (round % 2 == 0) {
            loader(), floor(), bigLog(), quickLoader(), quickFloor(), setup(), setupWindow(), bare();
        } else {
            floor(), bigLog(), loader(), quickFloor(), quickLoader(), bare(), setupWindow(), setup();
        }
        if (round == 0) {
            samples = Samples();
        }
        std::fwprintf(stderr, L".");  // one dot a round, to show progress
        std::fflush(stderr);
    }
    std::fwprintf(stderr, L"\n");
    std::fflush(stderr);

    const int bits = Bits(option[L"--loader"]);
    std::wprintf(L"dravik-bench: %d runs (after 1 warm-up round), programs interleaved in each round\n", runs);
    if (runs < 20) {
        std::wprintf(L"(fewer than 20 runs: not enough to quote)\n");
    }
    std::wprintf(L"timings and working sets: %d-bit build, %ls and %ls\n\n", bits, option[L"--loader"].c_str(),
                 option[L"--setup"].c_str());
    std::wprintf(L"%-33ls %-12ls %10ls %10ls %10ls\n", L"milliseconds", L"program", L"median", L"min", L"max");
    std::wprintf(L"%-33ls %-12ls %10ls %10ls\n", L"", L"ratios", L"of medians", L"per round");
    Row(L"a. start -> game started", L"loader.exe", samples.loaderStart);
    Row(L"", L"launcher", samples.floorStart);
    RatioRow(L"ratio", samples.loaderStart, samples.floorStart, L"(goal <= 1.05)");
    Row(L"", L"min. loader", samples.minimalStart);
    Row(L"b. game ended -> thank-you shown", L"loader.exe", samples.thanks);
    Row(L"   (a game of 1 s)", L"min. loader", samples.minimalThanks);
    RatioRow(L"ratio", samples.thanks, samples.minimalThanks, L"(goal <= 1.10)");
    Row(L"   the game's log of 4 MiB", L"loader.exe", samples.bigLogThanks);
    Row(L"   the same log elsewhere", L"loader.exe", samples.elsewhereLogThanks);
    std::vector<double> extra;
    for (std::size_t i = 0; i < samples.bigLogThanks.size() && i < samples.elsewhereLogThanks.size(); ++i) {
        extra.push_back(samples.bigLogThanks[i] - samples.elsewhereLogThanks[i]);
    }
    Row(L"   its reading, per round", L"difference", extra);
    std::wprintf(L"%-33ls %-12ls %10ls\n", L"", L"", L"(goal <= 10 ms)");
    Row(L"   the game ends at once", L"loader.exe", samples.quickThanks);
    Row(L"", L"min. loader", samples.minimalQuickThanks);
    RatioRow(L"ratio", samples.quickThanks, samples.minimalQuickThanks, L"(no goal: no real game ends so soon)");
    Row(L"c. start -> filled window painted", L"Dravik.exe", samples.setupPainted);
    Row(L"", L"same window", samples.setupWindowPainted);
    RatioRow(L"ratio", samples.setupPainted, samples.setupWindowPainted, L"(goal <= 1.05)");
    Row(L"", L"bare window", samples.barePainted);
    RatioRow(L"ratio", samples.setupPainted, samples.barePainted, L"");
    std::wprintf(L"\n%-33ls %-12ls %10ls %10ls %10ls\n", L"KiB", L"program", L"median", L"min", L"max");
    Row(L"d. peak working set, shown", L"loader.exe", samples.loaderKiB, 0);
    Row(L"", L"Dravik.exe", samples.setupKiB, 0);
    Row(L"", L"bare window", samples.bareKiB, 0);
    std::wprintf(L"\n%-33ls %-12ls %10ls\n", L"bytes", L"program", L"size");
    SizeRow(L"   file size (goal <= 160 KiB)", L"loader.exe", option[L"--loader"]);
    SizeRow(L"", L"Dravik.exe", option[L"--setup"]);
    SizeRow(L"", L"size floor", option[L"--size-floor"]);
    return 0;
}
