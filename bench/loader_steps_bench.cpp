// Times two of the loader's own steps inside one process, without the noise
// of the process starts that dravik-bench's and dravik-bench-forms' per-round
// differences carry:
//  - reading a game log of 4 MiB after a game that ended as usual, in the
//    worst case: the demo's lines at its top and no reason why it did not
//    play, so all of it is searched. Each round writes the log anew, as the
//    game does. (After a crash only its first "Critical:" line is looked for.)
//  - copying a 50 MiB demo into a file of its own, against CopyFileW on the
//    same demo, interleaved, with the files in the disk cache.
//
//   loader-steps-bench.exe [runs]
#include "Loader/game_log_file.h"
#include "Loader/temporary_demo.h"
#include "bench/clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Row(const wchar_t* what, std::vector<double> ms, const wchar_t* goal)
{
    std::sort(ms.begin(), ms.end());
    std::wprintf(L"%-44ls %9.2f  %9.2f  %9.2f  %ls\n", what, ms[ms.size() / 2], ms.front(), ms.back(), goal);
}

void WriteWhole(const std::wstring& path, const std::string& bytes)
{
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 21;
    wchar_t temporary[MAX_PATH];
    GetTempPathW(MAX_PATH, temporary);
    const std::wstring folder = temporary;
    const std::wstring logPath = folder + L"dravik-bench-UT2003.log";
    const std::wstring demo = folder + L"dravik-bench-demo.dem";
    const std::wstring ours = folder + L"dravik-bench-copy.dem";
    const std::wstring theirs = folder + L"dravik-bench-copyfile.dem";

    std::string log = "Log: Log file open, 12/10/26 10:00:00\r\nLog: Execing udemo.ini\r\n"
                      "Log: Attempting to play demo C:\\Demos\\final.dem\r\n";
    while (log.size() < 4u * 1024 * 1024) {
        log += "ScriptLog: a line of the game's own that says nothing of the demo, like most of them\r\n";
    }
    log += "Exit: Preparing to exit.\r\nLog: Log file closed, 12/10/26 10:05:00\r\n";
    constexpr DWORD kDemoBytes = 50 * 1024 * 1024;
    WriteWhole(demo, std::string(kDemoBytes, 'd'));

    std::vector<double> reading, copy, copyFile;
    for (int round = 0; round <= runs; ++round) {
        DeleteFileW(logPath.c_str());
        const dravik::GameLogFile before(logPath);
        WriteWhole(logPath, log);
        LONGLONG start = Now();
        const dravik::GameLogReading read = before.ReadThisRun(dravik::LogQuestion::WhyNotPlayed);
        const double readMs = Ms(start, Now());
        if (read.failure != dravik::DemoFailure::None) {
            std::fwprintf(stderr, L"loader-steps-bench: the log was misread\n");
            return 1;
        }

        double copyMs = 0;
        double copyFileMs = 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn + round) % 2 == 0) {
                dravik::TemporaryDemo temporaryDemo;
                start = Now();
                const bool copied = temporaryDemo.Make(demo, ours, false);
                copyMs = Ms(start, Now());
                if (!copied) {
                    std::fwprintf(stderr, L"loader-steps-bench: the copy did not finish\n");
                    return 1;
                }
            } else {
                DeleteFileW(theirs.c_str());
                start = Now();
                if (!CopyFileW(demo.c_str(), theirs.c_str(), FALSE)) {
                    std::fwprintf(stderr, L"loader-steps-bench: CopyFileW failed: %lu\n", GetLastError());
                    return 1;
                }
                copyFileMs = Ms(start, Now());
                DeleteFileW(theirs.c_str());
            }
        }
        if (round > 0) {  // the first is a warm-up
            reading.push_back(readMs);
            copy.push_back(copyMs);
            copyFile.push_back(copyFileMs);
        }
    }
    DeleteFileW(logPath.c_str());
    DeleteFileW(demo.c_str());

    std::wprintf(L"loader-steps-bench: %d runs (after 1 warm-up round), inside one process\n\n", runs);
    std::wprintf(L"%-44ls %9ls  %9ls  %9ls\n", L"milliseconds", L"median", L"min", L"max");
    Row(L"reading the game's log of 4 MiB", reading, L"(goal <= 10 ms)");
    Row(L"the loader's copy of a 50 MiB demo", copy, L"");
    Row(L"CopyFileW of the same demo", copyFile, L"");
    const double mib = static_cast<double>(kDemoBytes) / (1024 * 1024);
    std::wprintf(L"\nMiB/s, the loader's copy %9.0f, CopyFileW %9.0f: %.2fx  (goal >= 0.95x)\n", mib * 1000 / Median(copy),
                 mib * 1000 / Median(copyFile), Median(copyFile) / Median(copy));
    return 0;
}
