// A stand-in for UT2003.exe, placed as <game folder>\System\UT2003.exe in test
// game folders. It records what it was started with in standin-record.txt
// beside itself, then shows "Playing demo <path>" and exits.
//
// Environment variables tune it for tests:
//   DRAVIK_STANDIN_MS      how long to stay alive (default 3000)
//   DRAVIK_STANDIN_EXIT    exit code (default 0)
//   DRAVIK_STANDIN_WINDOW  0 to show no window (default 1)
//   DRAVIK_STANDIN_READ_MS how long after its start it reads udemo.ini, as
//                          the game does while it loads (default 0)
//   DRAVIK_STANDIN_TIMES   a file to append "started <counter>" and
//                          "ending <counter>" to (QueryPerformanceCounter)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kWindowClass[] = L"DravikStandInGame";
constexpr UINT_PTR kTimerId = 1;

std::wstring Environment(const wchar_t* name, const wchar_t* fallback)
{
    wchar_t buffer[64];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 64);
    return length > 0 && length < 64 ? std::wstring(buffer, length) : std::wstring(fallback);
}

std::wstring OwnFolder()
{
    std::vector<wchar_t> path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring text(path.data(), length);
    return text.substr(0, text.find_last_of(L'\\'));
}

std::wstring CurrentFolder()
{
    std::vector<wchar_t> path(32768, L'\0');
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
    return std::wstring(path.data(), length);
}

// The exact bytes of udemo.ini, or nothing when it cannot be read.
bool ReadScript(const std::wstring& path, std::string& bytes)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
    }
    CloseHandle(file);
    return true;
}

std::string Utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], size, nullptr, nullptr);
    return utf8;
}

std::string Hex(const std::string& bytes)
{
    std::string hex;
    char pair[3];
    for (unsigned char byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    return hex;
}

// Written to a temporary name and then moved, so a reader never sees half a record.
void WriteRecord(const std::wstring& folder, const std::string& record)
{
    const std::wstring temporary = folder + L"\\standin-record.tmp";
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(temporary.c_str(), (folder + L"\\standin-record.txt").c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Opened, appended to and closed each time, so a reader sees whole lines.
void AppendTime(const char* label, const LARGE_INTEGER& counter)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"DRAVIK_STANDIN_TIMES", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    const HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string line = std::string(label) + " " + std::to_string(counter.QuadPart) + "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void ShowPlaying(HINSTANCE instance, const std::wstring& demo, UINT milliseconds, int showState)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    const std::wstring title = L"Playing demo " + demo;
    const HWND window = CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPED | WS_CAPTION,
                                        CW_USEDEFAULT, CW_USEDEFAULT, 560, 120, nullptr, nullptr, instance, nullptr);
    CreateWindowExW(0, L"STATIC", title.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 10, 10, 530,
                    50, window, nullptr, instance, nullptr);
    SetTimer(window, kTimerId, milliseconds, nullptr);
    ShowWindow(window, showState);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showState)
{
    // Taken first thing, so that a benchmark sees when the game started.
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    AppendTime("started", started);

    const std::wstring folder = OwnFolder();
    Sleep(static_cast<DWORD>(std::stoul(Environment(L"DRAVIK_STANDIN_READ_MS", L"0"))));
    std::string script;
    const bool scriptFound = ReadScript(folder + L"\\udemo.ini", script);

    std::string record;
    record += "pid=" + std::to_string(GetCurrentProcessId()) + "\n";
    record += "command_line=" + Utf8(GetCommandLineW()) + "\n";
    record += "current_directory=" + Utf8(CurrentFolder()) + "\n";
    record += "show_state=" + std::to_string(showState) + "\n";
    record += "script=" + (scriptFound ? Hex(script) : std::string("missing")) + "\n";
    WriteRecord(folder, record);

    const UINT milliseconds = static_cast<UINT>(std::stoul(Environment(L"DRAVIK_STANDIN_MS", L"3000")));
    const int exitCode = std::stoi(Environment(L"DRAVIK_STANDIN_EXIT", L"0"));

    if (Environment(L"DRAVIK_STANDIN_WINDOW", L"1") != L"0") {
        // The script's line is "demoplay <path>" in the ANSI code page.
        std::wstring demo(script.size(), L'\0');
        demo.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, script.data(), static_cast<int>(script.size()), &demo[0], static_cast<int>(demo.size()))));
        const std::wstring command = L"demoplay ";
        if (demo.compare(0, command.size(), command) == 0) {
            demo.erase(0, command.size());
        }
        ShowPlaying(instance, demo, milliseconds, showState);
    } else {
        Sleep(milliseconds);
    }
    LARGE_INTEGER ending;
    QueryPerformanceCounter(&ending);
    AppendTime("ending", ending);
    return exitCode;
}
