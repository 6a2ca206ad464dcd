// A stand-in for UT2003.exe, placed as <game folder>\System\UT2003.exe in test
// game folders. It reads udemo.ini beside itself the way the game does, opens
// the demo file that the game would open, and records what it was started
// with, the file it opened, what that file holds and how many names (hard
// links) it has, in standin-record.txt beside itself. Then it shows "Playing
// demo <file>", holding the file open as the game does while it plays, and
// exits.
//
// How the game reads its script (from the engine's exec command, demoplay
// command and URL parser; written here on its own, apart from the loader's
// rule, so that each checks the other):
//   - every byte is the character of that code point, on every Windows; a
//     file with a UTF-16 byte-order mark is UTF-16;
//   - "demoplay" takes one token, quoted up to the next quote or else up to
//     the first blank or tab;
//   - the first ".dem" in it, in any case, is cut out;
//   - 1,023 characters of the rest are kept; the first '?' or '#' ends the
//     path, and a part after one holding a blank makes the URL invalid;
//   - "X:" and more is a file name; else a ':' before any '.' is a protocol
//     and a '.' not followed by "ut2" or "uvx" a server (no file either
//     way); "\\server\..." is a file name; anything else is relative to the
//     System folder;
//   - ".dem" is appended, and the file is opened with the ordinary file
//     functions, which fail at MAX_PATH characters.
//
// Environment variables tune it for tests:
//   DRAVIK_STANDIN_MS      how long to stay alive (default 3000)
//   DRAVIK_STANDIN_EXIT    exit code (default 0), or "crash" to end in an
//                          access violation, as a crashing game does
//   DRAVIK_STANDIN_WINDOW  0 to show no window (default 1)
//   DRAVIK_STANDIN_READ_MS how long after its start it reads udemo.ini, as
//                          the game does while it loads (default 0)
//   DRAVIK_STANDIN_TIMES   a file to append "started <counter>" and
//                          "ending <counter>" to (QueryPerformanceCounter)
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
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

// The game's characters: one per byte, or UTF-16 after a byte-order mark.
std::wstring GameText(const std::string& bytes)
{
    std::wstring text;
    if (bytes.size() >= 2 && (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0)) {
        const int low = bytes[0] == '\xFF' ? 0 : 1;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i + low]) |
                                                static_cast<unsigned char>(bytes[i + 1 - low]) << 8));
        }
    } else {
        for (const char byte : bytes) {
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
        }
    }
    return text;
}

bool SameLetters(wchar_t a, wchar_t b)
{
    return a == b || (a < 128 && b < 128 && std::tolower(a) == std::tolower(b));
}

bool At(const std::wstring& text, std::size_t i, const std::wstring& word)
{
    if (i + word.size() > text.size()) {
        return false;
    }
    for (std::size_t k = 0; k < word.size(); ++k) {
        if (!SameLetters(text[i + k], word[k])) {
            return false;
        }
    }
    return true;
}

// The file the game's demoplay command opens, or empty with the reason why none.
std::wstring DemoToOpen(const std::string& script, const std::wstring& systemFolder, std::string& why)
{
    std::wstring text = GameText(script);
    text = text.substr(0, text.find_first_of(std::wstring(L"\r\n\0", 3)));
    std::size_t i = text.find_first_not_of(L" \t");
    if (i == std::wstring::npos || !At(text, i, L"demoplay") ||
        (i + 8 < text.size() && text[i + 8] != L' ' && text[i + 8] != L'\t')) {
        why = "no demoplay command";
        return L"";
    }
    i = text.find_first_not_of(L" \t", i + 8);
    std::wstring url;
    if (i != std::wstring::npos && text[i] == L'"') {
        const std::size_t close = text.find(L'"', i + 1);
        url = text.substr(i + 1, close == std::wstring::npos ? std::wstring::npos : close - i - 1);
    } else if (i != std::wstring::npos) {
        url = text.substr(i, text.find_first_of(L" \t", i) - i);
    }
    if (url.empty()) {
        why = "demoplay without a demo";
        return L"";
    }
    for (std::size_t k = 0; k < url.size(); ++k) {
        if (At(url, k, L".dem")) {
            url.erase(k, 4);
            break;
        }
    }
    if (url.size() > 1023) {
        url.resize(1023);
    }
    std::wstring path = url;
    const std::size_t mark = url.find_first_of(L"?#");
    if (mark != std::wstring::npos) {
        path = url.substr(0, mark);
        std::size_t from = mark + 1;
        for (;;) {
            const std::size_t next = url.find_first_of(L"?#", from);
            const std::wstring option = url.substr(from, next == std::wstring::npos ? std::wstring::npos : next - from);
            if (option.find(L' ') != std::wstring::npos) {
                why = "an option with a blank makes the URL invalid";
                return L"";
            }
            if (next == std::wstring::npos) {
                break;
            }
            from = next + 1;
        }
    }
    const bool drive = path.size() > 2 && path[1] == L':' && std::isalpha(path[0]) && path[0] < 128;
    if (!drive) {
        const std::size_t colon = path.find(L':');
        const std::size_t dot = path.find(L'.');
        if (colon != std::wstring::npos && (dot == std::wstring::npos || colon < dot)) {
            why = "taken for a protocol";
            return L"";
        }
        if (dot != std::wstring::npos && !At(path, dot + 1, L"ut2") && !At(path, dot + 1, L"uvx")) {
            why = "taken for a server";
            return L"";
        }
        if (path.compare(0, 2, L"\\\\") != 0) {
            path = systemFolder + L"\\" + path;
        }
    }
    return path + L".dem";
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

void ShowPlaying(HINSTANCE instance, const std::wstring& title, UINT milliseconds, int showState)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

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

    // The demo, opened as the game opens it and held open while it plays.
    std::string why;
    const std::wstring demo = scriptFound ? DemoToOpen(script, folder, why) : std::wstring();
    HANDLE demoFile = INVALID_HANDLE_VALUE;
    std::string contents;
    if (!demo.empty() && demo.size() >= MAX_PATH) {
        why = "too long for the file functions";
    } else if (!demo.empty()) {
        demoFile = CreateFileW(demo.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (demoFile == INVALID_HANDLE_VALUE) {
            why = "cannot open it: error " + std::to_string(GetLastError());
        }
    }
    ULONGLONG size = 0;
    BY_HANDLE_FILE_INFORMATION information = {};
    if (demoFile != INVALID_HANDLE_VALUE) {
        GetFileInformationByHandle(demoFile, &information);
        char chunk[65536];
        DWORD read = 0;
        while (ReadFile(demoFile, chunk, sizeof chunk, &read, nullptr) && read > 0) {
            if (contents.size() < sizeof chunk) {
                contents.append(chunk, std::min<std::size_t>(read, sizeof chunk - contents.size()));
            }
            size += read;
        }
    }

    std::string record;
    record += "pid=" + std::to_string(GetCurrentProcessId()) + "\n";
    record += "command_line=" + Utf8(GetCommandLineW()) + "\n";
    record += "current_directory=" + Utf8(CurrentFolder()) + "\n";
    record += "show_state=" + std::to_string(showState) + "\n";
    record += "code_page=" + std::to_string(GetACP()) + "\n";
    record += "script=" + (scriptFound ? Hex(script) : std::string("missing")) + "\n";
    record += "demo_file=" + (demo.empty() ? std::string("none") : Utf8(demo)) + "\n";
    if (demoFile != INVALID_HANDLE_VALUE) {
        // The first 64 KiB, and the size of the whole.
        record += "demo=" + Hex(contents) + "\n";
        record += "demo_size=" + std::to_string(size) + "\n";
        // 2 for a hard link to the user's demo (or a demo with another name).
        record += "demo_links=" + std::to_string(information.nNumberOfLinks) + "\n";
    } else {
        record += "demo_why=" + why + "\n";
    }
    WriteRecord(folder, record);

    const UINT milliseconds = static_cast<UINT>(std::stoul(Environment(L"DRAVIK_STANDIN_MS", L"3000")));
    const std::wstring exit = Environment(L"DRAVIK_STANDIN_EXIT", L"0");
    const bool crash = exit == L"crash";
    const int exitCode = crash ? 0 : std::stoi(exit);

    if (Environment(L"DRAVIK_STANDIN_WINDOW", L"1") != L"0") {
        const std::wstring title = demoFile != INVALID_HANDLE_VALUE
                                       ? L"Playing demo " + demo
                                       : L"No demo: " + std::wstring(why.begin(), why.end());
        ShowPlaying(instance, title, milliseconds, showState);
    } else {
        Sleep(milliseconds);
    }
    if (demoFile != INVALID_HANDLE_VALUE) {
        CloseHandle(demoFile);
    }
    LARGE_INTEGER ending;
    QueryPerformanceCounter(&ending);
    AppendTime("ending", ending);
    if (crash) {
        // An address the compiler cannot see, so that it writes there.
        static volatile std::uintptr_t nowhere = 0;
        *reinterpret_cast<volatile int*>(nowhere) = 0;
    }
    return exitCode;
}
