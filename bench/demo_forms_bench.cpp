// dravik-bench-forms.exe: what it costs loader.exe to play a demo whose
// path the game cannot read, through a hard link or a copy in the game's
// System folder, against the same demo size on a plain path, which plays in
// place; and how fast its copy is against a plain CopyFileW of that file.
//
//   dravik-bench-forms --loader <exe> --standin <exe> [--runs <n>] [--megabytes <n>]
//
// Each round runs the loader on the three demos and times one CopyFileW,
// alternating their order (the link and the copy side by side); the first
// round warms the caches and is not counted. Times are QueryPerformanceCounter readings: the start is taken
// here, the game's start by the stand-in game itself.
#include "clock.h"
#include "window_probe.h"
#include "shared/settings_record.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kRoot[] = L"C:\\Bench Forms";
constexpr wchar_t kGame[] = L"C:\\Bench Forms\\Game";
constexpr wchar_t kGameExe[] = L"C:\\Bench Forms\\Game\\System\\UT2003.exe";
constexpr wchar_t kTimes[] = L"C:\\Bench Forms\\standin-times.txt";
// A plain path plays in place. The game reads ".dem" in a folder's name as
// its own, and so does Windows' short form of that folder: a link then, or
// for a read-only demo a copy.
constexpr wchar_t kPlainDemo[] = L"C:\\Bench Forms\\Demos\\plain.dem";
constexpr wchar_t kLinkedDemo[] = L"C:\\Bench Forms\\ut2003.demos\\linked.dem";
constexpr wchar_t kCopiedDemo[] = L"C:\\Bench Forms\\ut2003.demos\\copied.dem";
constexpr wchar_t kFloorCopy[] = L"C:\\Bench Forms\\Game\\System\\floor copy.dem";
constexpr DWORD kTimeoutMs = 60000;

[[noreturn]] void Fail(const std::wstring& what)
{
    std::fwprintf(stderr, L"\ndravik-bench-forms: %ls\n", what.c_str());
    std::exit(1);
}

void SetText(const wchar_t* name, const std::wstring& value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, dravik::kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS ||
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
        Fail(std::wstring(L"cannot write the setting ") + name);
    }
    RegCloseKey(key);
}

void WriteDemo(const wchar_t* path, unsigned megabytes)
{
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Fail(std::wstring(L"cannot write ") + path);
    }
    std::vector<char> chunk(1 << 20);
    for (std::size_t i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<char>(i * 7 + i / 251);
    }
    DWORD written = 0;
    for (unsigned i = 0; i < megabytes; ++i) {
        WriteFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr);
    }
    CloseHandle(file);
}

// A set-up game with the stand-in as the game, and the three demos.
void Prepare(const std::wstring& standIn, unsigned megabytes)
{
    for (const wchar_t* folder : {kRoot, kGame, L"C:\\Bench Forms\\Game\\System", L"C:\\Bench Forms\\Demos",
                                  L"C:\\Bench Forms\\ut2003.demos"}) {
        CreateDirectoryW(folder, nullptr);
    }
    if (!CopyFileW(standIn.c_str(), kGameExe, FALSE)) {
        Fail(L"cannot copy the stand-in game " + standIn);
    }
    for (const wchar_t* demo : {kPlainDemo, kLinkedDemo, kCopiedDemo}) {
        WriteDemo(demo, megabytes);
    }
    SetFileAttributesW(kCopiedDemo, FILE_ATTRIBUTE_READONLY);
    SetText(dravik::kPathValue, kGameExe);
    SetText(dravik::kGeneralValue, kGame);
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_WINDOW", L"0");
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_MS", L"200");
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_TIMES", kTimes);
    DeleteFileW(kTimes);
}

// The stand-in game's "started" reading of the last run.
LONGLONG GameStarted()
{
    LONGLONG started = 0;
    if (FILE* file = _wfopen(kTimes, L"r")) {
        char label[16];
        long long value = 0;
        while (std::fscanf(file, "%15s %lld", label, &value) == 2) {
            if (std::string(label) == "started") {
                started = value;
            }
        }
        std::fclose(file);
    }
    DeleteFileW(kTimes);
    if (started == 0) {
        Fail(L"the stand-in game recorded no start");
    }
    return started;
}

// The file the stand-in game opened as the demo, from its record.
std::string DemoTheGameOpened()
{
    std::string record;
    if (FILE* file = _wfopen(L"C:\\Bench Forms\\Game\\System\\standin-record.txt", L"r")) {
        char line[4096];
        while (std::fgets(line, sizeof line, file) != nullptr) {
            if (std::string(line).rfind("demo_file=", 0) == 0) {
                record = std::string(line + 10);
            }
        }
        std::fclose(file);
    }
    return record.substr(0, record.find('\n'));
}

// Starts the loader on the demo and waits for its thank-you; milliseconds
// from its start to the game's.
double PlayOnce(const std::wstring& loader, const wchar_t* demo, bool inPlace)
{
    std::wstring commandLine = L"\"" + loader + L"\" \"" + demo + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    const LONGLONG t0 = Now();
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        Fail(L"cannot start " + loader);
    }
    CloseHandle(started.hThread);
    const HWND box = probe::WaitForMessageBox(started.dwProcessId, kTimeoutMs);
    const std::wstring text = box != nullptr ? probe::ReadMessageBox(box).text : std::wstring();
    if (text.find(L"Nice demo") == std::wstring::npos) {
        TerminateProcess(started.hProcess, 1);
        Fail(std::wstring(L"the loader did not thank for ") + demo + L": " + text);
    }
    probe::PressButtonWithId(box, IDOK);
    WaitForSingleObject(started.hProcess, kTimeoutMs);
    CloseHandle(started.hProcess);

    const std::string opened = DemoTheGameOpened();
    const std::wstring path = demo;
    const bool asMeasured = inPlace ? opened == std::string(path.begin(), path.end())
                                    : opened.find("\\System\\Dravik-") != std::string::npos;
    if (!asMeasured) {
        Fail(L"the game opened another form of " + path + L" than the one measured");
    }
    return Ms(t0, GameStarted());
}

double CopyOnce(const wchar_t* demo)
{
    const LONGLONG t0 = Now();
    if (!CopyFileW(demo, kFloorCopy, FALSE)) {
        Fail(L"CopyFileW failed");
    }
    const double ms = Ms(t0, Now());
    SetFileAttributesW(kFloorCopy, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(kFloorCopy);
    return ms;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return (values[(n - 1) / 2] + values[n / 2]) / 2;
}

void Row(const wchar_t* what, const std::vector<double>& values)
{
    std::wprintf(L"%-44ls %10.2f %10.2f %10.2f\n", what, Median(values), *std::min_element(values.begin(), values.end()),
                 *std::max_element(values.begin(), values.end()));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::map<std::wstring, std::wstring> option;
    for (int i = 1; i + 1 < argc; i += 2) {
        option[argv[i]] = argv[i + 1];
    }
    if (option[L"--loader"].empty() || option[L"--standin"].empty()) {
        Fail(L"usage: dravik-bench-forms --loader <exe> --standin <exe> [--runs <n>] [--megabytes <n>]");
    }
    const int runs = option[L"--runs"].empty() ? 21 : std::max(1, std::stoi(option[L"--runs"]));
    const unsigned megabytes = option[L"--megabytes"].empty() ? 50 : std::stoul(option[L"--megabytes"]);
    const std::wstring loader = option[L"--loader"];

    Prepare(option[L"--standin"], megabytes);
    std::vector<double> plain, linked, copied, floorCopy;
    for (int round = 0; round <= runs; ++round) {
        const auto plainRun = [&] { plain.push_back(PlayOnce(loader, kPlainDemo, true)); };
        const auto linkRun = [&] { linked.push_back(PlayOnce(loader, kLinkedDemo, false)); };
        const auto copyRun = [&] { copied.push_back(PlayOnce(loader, kCopiedDemo, false)); };
        const auto floorRun = [&] { floorCopy.push_back(CopyOnce(kCopiedDemo)); };
        if (round % 2 == 0) {
            plainRun(), linkRun(), copyRun(), floorRun();
        } else {
            floorRun(), copyRun(), linkRun(), plainRun();
        }
        if (round == 0) {
            plain.clear(), linked.clear(), copied.clear(), floorCopy.clear();
        }
        std::fwprintf(stderr, L".");
        std::fflush(stderr);
    }
    std::fwprintf(stderr, L"\n");

    std::wprintf(L"dravik-bench-forms: %d runs (after 1 warm-up round), %u MiB demos, interleaved in each round\n", runs,
                 megabytes);
    if (runs < 20) {
        std::wprintf(L"(fewer than 20 runs: not enough to quote)\n");
    }
    std::wprintf(L"\n%-44ls %10ls %10ls %10ls\n", L"milliseconds", L"median", L"min", L"max");
    Row(L"loader start -> game started, plain path", plain);
    Row(L"                 through a hard link", linked);
    Row(L"                 through a copy", copied);
    Row(L"CopyFileW of the same demo", floorCopy);
    // Runs side by side in a round meet the machine alike: each round's
    // ratio, and the copy's own time as a copy run less the link run beside
    // it, which does all the same work but the copy.
    std::vector<double> linkRatio, copyMs;
    for (std::size_t i = 0; i < copied.size(); ++i) {
        linkRatio.push_back(linked[i] / plain[i]);
        copyMs.push_back(copied[i] - linked[i]);
    }
    std::wprintf(L"\n%-44ls %10.3f  (goal <= 1.05; %.3f from the medians above)\n", L"ratio, link to plain path",
                 Median(linkRatio), Median(linked) / Median(plain));
    std::wprintf(L"%-44ls %10.0f  (%.2f ms: through a copy less through a link, per round)\n",
                 L"MiB/s, the loader's copy", megabytes * 1000.0 / Median(copyMs), Median(copyMs));
    std::wprintf(L"%-44ls %10.0f\n", L"MiB/s, CopyFileW", megabytes * 1000.0 / Median(floorCopy));
    return 0;
}
