// A stand-in for UT2003.exe, placed as <game folder>\System\UT2003.exe in test
// game folders. It behaves as the game's engine does where the loader depends
// on it, written here on its own from the engine's facts, apart from the
// loader's rules, so that each checks the other:
//
// 1. A copy that already runs. Unless its command line holds NewWindow,
//    changevideo, TestRenDev or COMMAND= (in any letter case), it looks for a
//    top-level window of class "<its name>UnrealWLog" that carries the
//    property "IsBrowser". If there is one, it sends it the rest of its
//    command line by WM_COPYDATA (dwData: the message "UnrealOpen"), writes
//    no log and exits with 0 at once. Running, it has that window itself
//    (hidden, its log window), marked while it runs. A command line handed to
//    it brings it to the front; one whose first token starts with '-' does
//    nothing else.
// 2. Its script (-exec=<file>, in its own folder). A file of even size that
//    starts with FF FE (FE FF) is UTF-16 LE (BE); any other is one character
//    per byte. Each line is read into 255 characters, the rest of a longer one
//    as the next line. Outside quotes, "//" starts a comment and '|' ends a
//    command. "demoplay" takes one token, in quotes up to the next quote (or
//    the line's end) or else up to a blank or tab; its first ".dem", in any
//    case, is cut out; the first '?' or '#' ends the path, and a part after
//    one that holds a blank spoils it; "X:..." is a file, "\\server\..." too,
//    else a ':' before any '.' is a protocol and a '.' not followed by "ut2"
//    or "uvx" a server; a plain name is in its own folder; ".dem" is
//    appended.
// 3. Its log, <its folder>\<its name>.log, replaced at its start and written
//    whole when it ends: 8-bit text, a character above U+00FF as 0x7F, lines
//    "<Event>: <text>" ended by CR LF, from "Log: Log file open, <time>" to
//    "Log: Log file closed, <time>". On the demo path: "Log: Execing <file>",
//    "Log: Attempting to play demo <url>", then the demo's own messages: a
//    "USES ... PKG=<name>" for each package, then "WELCOME LEVEL=..." where
//    it has them all, or why not (a missing package, in the form
//    DRAVIK_STANDIN_MISSING_FORM names, or a package of another version). A
//    demo file it cannot open leaves no reason. A crash writes "Critical:"
//    lines and "Exit: Exiting."; only a clean exit "Exit: Preparing to exit.".
//
// The stand-in's demos are text: a line "USES PKG=<name> GUID=<32 hex>" for
// each package the demo needs. The game has a package where its folder holds
// <Maps|System|Textures|Sounds|Music|StaticMeshes|Animations>\<name>.<any>;
// the package is of the demo's version where that file's text is
// "GUID=<the same 32 hex>".
//
// It records, in standin-record.txt beside itself, what it was started with,
// the script, the file it opened, what that file holds and how many names
// (hard links) it has, or that it handed its command line over; and in
// standin-received.txt each command line handed to it.
//
// Environment variables tune it for tests:
//   DRAVIK_STANDIN_MS      how long to stay alive (default 3000)
//   DRAVIK_STANDIN_EXIT    exit code (default 0), or "crash" to end in an
//                          access violation, as a crashing game does
//   DRAVIK_STANDIN_WINDOW  0 to show no window (default 1)
//   DRAVIK_STANDIN_READ_MS how long after its start it reads its script, as
//                          the game does while it loads (default 0)
//   DRAVIK_STANDIN_LOG     0 to write no log; a file name to write it there,
//                          beside itself, as the game's LOG=<name> does
//   DRAVIK_STANDIN_LOG_PADDING  bytes of other log lines after the demo's
//                          packages, for a long log
//   DRAVIK_STANDIN_MISSING_FORM  "pending" (default), "donthave" or
//                          "cantfind": how a missing package is logged
//   DRAVIK_STANDIN_TIMES   a file to append "started <counter>" and
//                          "ending <counter>" to (QueryPerformanceCounter)
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kPlayingClass[] = L"DravikStandInGame";
constexpr std::size_t kLineLength = 255;

std::wstring Environment(const wchar_t* name, const wchar_t* fallback)
{
    wchar_t buffer[64];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 64);
    return length > 0 && length < 64 ? std::wstring(buffer, length) : std::wstring(fallback);
}

std::wstring OwnPath()
{
    std::vector<wchar_t> path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return std::wstring(path.data(), length);
}

std::wstring CurrentFolder()
{
    std::vector<wchar_t> path(32768, L'\0');
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
    return std::wstring(path.data(), length);
}

wchar_t Lower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
}

// The engine compares letters in ASCII case only.
bool At(const std::wstring& text, std::size_t i, const std::wstring& lower)
{
    if (i + lower.size() > text.size()) {
        return false;
    }
    for (std::size_t k = 0; k < lower.size(); ++k) {
        if (Lower(text[i + k]) != lower[k]) {
            return false;
        }
    }
    return true;
}

std::size_t Find(const std::wstring& text, const std::wstring& lower)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (At(text, i, lower)) {
            return i;
        }
    }
    return std::wstring::npos;
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

bool ReadFileBytes(const std::wstring& path, std::string& bytes)
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

// Written to a temporary name and then moved, so a reader never sees half a file.
void WriteWhole(const std::wstring& path, const std::string& bytes)
{
    const std::wstring temporary = path + L".tmp";
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void AppendToFile(const std::wstring& path, const std::string& line)
{
    const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

void AppendTime(const char* label)
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"DRAVIK_STANDIN_TIMES", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        AppendToFile(path, std::string(label) + " " + std::to_string(counter.QuadPart) + "\n");
    }
}

// The game's log: kept in memory and written when the game ends.
class Log {
public:
    void Line(const char* event, const std::wstring& text)
    {
        text_ += event;
        text_ += ": ";
        for (const wchar_t c : text) {
            text_ += c > 0xFF ? '\x7F' : static_cast<char>(static_cast<unsigned char>(c));
        }
        text_ += "\r\n";
    }
    std::size_t Size() const { return text_.size(); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

std::wstring Now()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[32];
    swprintf(text, 32, L"%02u/%02u/%02u %02u:%02u:%02u", now.wMonth, now.wDay, now.wYear % 100, now.wHour,
             now.wMinute, now.wSecond);
    return text;
}

// The command line after the program's own name.
std::wstring Arguments()
{
    const std::wstring line = GetCommandLineW();
    std::size_t at = 0;
    if (!line.empty() && line[0] == L'"') {
        at = line.find(L'"', 1);
        at = at == std::wstring::npos ? line.size() : at + 1;
    } else {
        at = line.find_first_of(L" \t");
        at = at == std::wstring::npos ? line.size() : at;
    }
    while (at < line.size() && (line[at] == L' ' || line[at] == L'\t')) {
        ++at;
    }
    return line.substr(at);
}

// 1. The running copy's log window, where one runs.
HWND RunningCopy(const std::wstring& logClass)
{
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, logClass.c_str(), nullptr)) != nullptr;) {
        if (GetPropW(window, L"IsBrowser") != nullptr) {
            return window;
        }
    }
    return nullptr;
}

bool StartsNewCopy(const std::wstring& commandLine)
{
    for (const wchar_t* word : {L"newwindow", L"changevideo", L"testrendev", L"command="}) {
        if (Find(commandLine, word) != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

// 2. The script's characters, and its lines as the game reads them.
std::wstring ScriptText(const std::string& bytes)
{
    std::wstring text;
    const bool even = bytes.size() % 2 == 0;
    if (even && bytes.size() >= 2 && (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0)) {
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

std::vector<std::wstring> Commands(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::wstring line;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size() || text[i] == L'\r' || text[i] == L'\n' || text[i] == L'\0';
        if (end || line.size() == kLineLength) {
            lines.push_back(line);
            line.clear();
        }
        if (!end) {
            line += text[i];
        }
    }
    std::vector<std::wstring> commands;
    for (const std::wstring& each : lines) {
        bool quoted = false;
        std::wstring command;
        for (std::size_t i = 0; i < each.size(); ++i) {
            if (each[i] == L'"') {
                quoted = !quoted;
            } else if (!quoted && each.compare(i, 2, L"//") == 0) {
                break;
            } else if (!quoted && each[i] == L'|') {
                commands.push_back(command);
                command.clear();
                continue;
            }
            command += each[i];
        }
        commands.push_back(command);
    }
    return commands;
}

// The demoplay command's token, or nothing.
bool DemoPlayToken(const std::wstring& command, std::wstring& token)
{
    std::size_t i = command.find_first_not_of(L" \t");
    if (i == std::wstring::npos || !At(command, i, L"demoplay") ||
        (i + 8 < command.size() && command[i + 8] != L' ' && command[i + 8] != L'\t')) {
        return false;
    }
    i = command.find_first_not_of(L" \t", i + 8);
    token.clear();
    if (i != std::wstring::npos && command[i] == L'"') {
        const std::size_t close = command.find(L'"', i + 1);
        token = command.substr(i + 1, close == std::wstring::npos ? std::wstring::npos : close - i - 1);
    } else if (i != std::wstring::npos) {
        token = command.substr(i, command.find_first_of(L" \t", i) - i);
    }
    return true;
}

// The file a demo URL names, or empty with the reason why none.
std::wstring DemoFile(std::wstring url, const std::wstring& ownFolder, std::string& why)
{
    if (url.empty()) {
        why = "demoplay without a demo";
        return L"";
    }
    const std::size_t dem = Find(url, L".dem");
    if (dem != std::wstring::npos) {
        url.erase(dem, 4);
    }
    std::wstring path = url;
    const std::size_t mark = url.find_first_of(L"?#");
    if (mark != std::wstring::npos) {
        path = url.substr(0, mark);
        for (std::size_t from = mark + 1;;) {
            const std::size_t next = url.find_first_of(L"?#", from);
            if (url.substr(from, next == std::wstring::npos ? std::wstring::npos : next - from).find(L' ') !=
                std::wstring::npos) {
                why = "an option with a blank makes the URL invalid";
                return L"";
            }
            if (next == std::wstring::npos) {
                break;
            }
            from = next + 1;
        }
    }
    const bool drive = path.size() > 2 && path[1] == L':' && Lower(path[0]) >= L'a' && Lower(path[0]) <= L'z';
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
            path = ownFolder + L"\\" + path;
        }
    }
    return path + L".dem";
}

// 3. What the demo needs, and whether the game has it.
struct Package {
    std::wstring name;
    std::wstring guid;
};

std::vector<Package> PackagesOf(const std::string& demo)
{
    std::vector<Package> packages;
    const std::wstring text = ScriptText(demo);
    for (std::size_t at = 0; (at = text.find(L"USES PKG=", at)) != std::wstring::npos; at += 9) {
        const std::size_t nameEnd = text.find_first_of(L" \r\n", at + 9);
        Package package{text.substr(at + 9, nameEnd - at - 9), L""};
        const std::size_t guid = text.find(L"GUID=", at);
        const std::size_t lineEnd = text.find_first_of(L"\r\n", at);
        if (guid != std::wstring::npos && guid < lineEnd) {
            package.guid = text.substr(guid + 5, 32);
        }
        packages.push_back(package);
    }
    return packages;
}

// The package's file in the game's folders, or nothing.
bool FindPackage(const std::wstring& gameFolder, const Package& package, std::string& contents)
{
    for (const wchar_t* folder : {L"Maps", L"System", L"Textures", L"Sounds", L"Music", L"StaticMeshes", L"Animations"}) {
        WIN32_FIND_DATAW found;
        const std::wstring pattern = gameFolder + L"\\" + folder + L"\\" + package.name + L".*";
        const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
            ReadFileBytes(gameFolder + L"\\" + folder + L"\\" + found.cFileName, contents);
            return true;
        }
    }
    return false;
}

void PlayDemo(const std::string& demo, const std::wstring& url, const std::wstring& gameFolder, Log& log)
{
    const std::vector<Package> packages = PackagesOf(demo);
    for (const Package& package : packages) {
        log.Line("DevNet", L"DemoPlayPendingLevel received: USES GUID=" + package.guid + L" PKG=" + package.name +
                               L" FLAGS=1 SIZE=" + std::to_wstring(demo.size()) + L" GEN=1");
    }
    const std::size_t padding = std::stoul(Environment(L"DRAVIK_STANDIN_LOG_PADDING", L"0"));
    for (const std::size_t until = log.Size() + padding; log.Size() < until;) {
        log.Line("ScriptLog", L"Padding the log for a test of a long one, line after line after line.");
    }
    const std::wstring form = Environment(L"DRAVIK_STANDIN_MISSING_FORM", L"pending");
    for (const Package& package : packages) {
        std::string contents;
        if (!FindPackage(gameFolder, package, contents)) {
            if (form == L"donthave") {
                log.Line("Log", L"Don't have package for demo: " + package.name);
            } else if (form == L"cantfind") {
                log.Line("Warning", L"Failed to load '" + package.name + L"': Can't find file for package '" +
                                        package.name + L"'");
            } else {
                log.Line("Log", L"Pending connect to '" + url + L"' failed; Missing package '" + package.name +
                                    L"' for demo playback");
            }
            return;
        }
        if (ScriptText(contents).find(L"GUID=" + package.guid) == std::wstring::npos) {
            log.Line("Warning", L"Failed to load '" + package.name + L"': Package '" + package.name +
                                    L"' version mismatch");
            return;
        }
    }
    log.Line("DevNet", L"DemoPlayPendingLevel received: WELCOME LEVEL=" +
                           (packages.empty() ? std::wstring(L"Entry") : packages.front().name) + L" LONE=0");
}

UINT g_unrealOpen = 0;
std::wstring g_receivedFile;
HWND g_playing = nullptr;

LRESULT CALLBACK LogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->dwData == g_unrealOpen) {
            const std::wstring text(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
            AppendToFile(g_receivedFile, Utf8(text.substr(0, text.find(L'\0'))) + "\n");
            if (g_playing != nullptr) {
                SetForegroundWindow(g_playing);
            }
            // A first token that starts with '-', as "-exec=...", does nothing more.
            return TRUE;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PlayingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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

HWND MakeWindow(HINSTANCE instance, const wchar_t* className, WNDPROC procedure, const std::wstring& title, DWORD style)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, className, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 560, 120, nullptr,
                           nullptr, instance, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showState)
{
    // Taken first thing, so that a benchmark sees when the game started.
    AppendTime("started");

    const std::wstring own = OwnPath();
    const std::size_t slash = own.find_last_of(L'\\');
    const std::wstring folder = own.substr(0, slash);
    const std::wstring name = own.substr(slash + 1, own.rfind(L'.') - slash - 1);
    const std::wstring gameFolder = folder.substr(0, folder.find_last_of(L'\\'));
    const std::wstring arguments = Arguments();
    const std::wstring logClass = name + L"UnrealWLog";
    g_unrealOpen = RegisterWindowMessageW(L"UnrealOpen");
    g_receivedFile = folder + L"\\standin-received.txt";

    std::string record;
    record += "pid=" + std::to_string(GetCurrentProcessId()) + "\n";
    record += "command_line=" + Utf8(GetCommandLineW()) + "\n";
    record += "current_directory=" + Utf8(CurrentFolder()) + "\n";
    record += "show_state=" + std::to_string(showState) + "\n";
    record += "code_page=" + std::to_string(GetACP()) + "\n";

    // 1. Handed over to a copy that runs: no log, and no more.
    if (!StartsNewCopy(GetCommandLineW())) {
        if (const HWND running = RunningCopy(logClass)) {
            COPYDATASTRUCT data = {g_unrealOpen, static_cast<DWORD>((arguments.size() + 1) * sizeof(wchar_t)),
                                   const_cast<wchar_t*>(arguments.c_str())};
            SendMessageW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
            WriteWhole(folder + L"\\standin-record.txt", record + "handed_over=1\n");
            return 0;
        }
    }
    const HWND logWindow = MakeWindow(instance, logClass.c_str(), LogWindowProc, name + L" log", WS_OVERLAPPEDWINDOW);
    SetPropW(logWindow, L"IsBrowser", reinterpret_cast<HANDLE>(1));

    const std::wstring logName = Environment(L"DRAVIK_STANDIN_LOG", L"1");
    const bool writeLog = logName != L"0";
    const std::wstring logPath = folder + L"\\" + (logName == L"1" ? name + L".log" : logName);
    // Replaced at the start; what it says is written when the game ends.
    HANDLE logFile = writeLog ? CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr)
                              : INVALID_HANDLE_VALUE;
    Log log;
    log.Line("Log", L"Log file open, " + Now());
    log.Line("Init", L"Base directory: " + folder + L"\\");
    log.Line("Init", L"Command line: " + arguments);

    // 2. Its script, as the engine reads it, and the demo it names.
    Sleep(static_cast<DWORD>(std::stoul(Environment(L"DRAVIK_STANDIN_READ_MS", L"0"))));
    std::wstring scriptName;
    const std::size_t exec = Find(arguments, L"-exec=");
    if (exec != std::wstring::npos) {
        const std::size_t end = arguments.find_first_of(L" \t", exec);
        scriptName = arguments.substr(exec + 6, end == std::wstring::npos ? std::wstring::npos : end - exec - 6);
    }
    std::string script;
    const bool scriptFound = !scriptName.empty() && ReadFileBytes(folder + L"\\" + scriptName, script);
    std::wstring demoPath;
    std::string why = scriptName.empty() ? "no script" : "no demoplay command";
    HANDLE demoFile = INVALID_HANDLE_VALUE;
    std::string contents;
    ULONGLONG size = 0;
    BY_HANDLE_FILE_INFORMATION information = {};
    if (scriptFound) {
        log.Line("Log", L"Execing " + scriptName);
        for (const std::wstring& command : Commands(ScriptText(script))) {
            std::wstring url;
            if (!DemoPlayToken(command, url)) {
                continue;
            }
            log.Line("Log", L"Attempting to play demo " + url);
            demoPath = DemoFile(url, folder, why);
            if (demoPath.empty()) {
                break;
            }
            demoFile = CreateFileW(demoPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            if (demoFile == INVALID_HANDLE_VALUE) {
                why = "cannot open it: error " + std::to_string(GetLastError());
                break;
            }
            GetFileInformationByHandle(demoFile, &information);
            char chunk[65536];
            DWORD read = 0;
            std::string whole;
            while (ReadFile(demoFile, chunk, sizeof chunk, &read, nullptr) && read > 0) {
                whole.append(chunk, read);
                size += read;
            }
            contents = whole.substr(0, sizeof chunk);
            PlayDemo(whole, url, gameFolder, log);
            break;
        }
    }

    record += "script=" + (scriptFound ? Hex(script) : std::string("missing")) + "\n";
    record += "demo_file=" + (demoPath.empty() ? std::string("none") : Utf8(demoPath)) + "\n";
    if (demoFile != INVALID_HANDLE_VALUE) {
        // The first 64 KiB, and the size of the whole.
        record += "demo=" + Hex(contents) + "\n";
        record += "demo_size=" + std::to_string(size) + "\n";
        // 2 for a hard link to the user's demo (or a demo with another name).
        record += "demo_links=" + std::to_string(information.nNumberOfLinks) + "\n";
    } else {
        record += "demo_why=" + why + "\n";
    }
    WriteWhole(folder + L"\\standin-record.txt", record);

    const UINT milliseconds = static_cast<UINT>(std::stoul(Environment(L"DRAVIK_STANDIN_MS", L"3000")));
    if (Environment(L"DRAVIK_STANDIN_WINDOW", L"1") != L"0") {
        const std::wstring title = demoFile != INVALID_HANDLE_VALUE
                                       ? L"Playing demo " + demoPath
                                       : L"No demo: " + std::wstring(why.begin(), why.end());
        g_playing = MakeWindow(instance, kPlayingClass, PlayingWindowProc, title, WS_OVERLAPPED | WS_CAPTION);
        CreateWindowExW(0, L"STATIC", title.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 10, 10, 530,
                        50, g_playing, nullptr, instance, nullptr);
        ShowWindow(g_playing, showState);
    } else {
        g_playing = MakeWindow(instance, kPlayingClass, PlayingWindowProc, L"", WS_OVERLAPPED);
    }
    SetTimer(g_playing, 1, milliseconds, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    if (demoFile != INVALID_HANDLE_VALUE) {
        CloseHandle(demoFile);
    }

    const std::wstring exit = Environment(L"DRAVIK_STANDIN_EXIT", L"0");
    const bool crash = exit == L"crash";
    const int exitCode = crash ? 0 : std::stoi(exit);
    if (crash) {
        log.Line("Critical", L"General protection fault!");
        log.Line("Critical", L"History: UGameEngine::Tick <- UpdateWorld <- MainLoop");
        log.Line("Exit", L"Exiting.");
    } else {
        log.Line("Exit", L"Preparing to exit.");
        RemovePropW(logWindow, L"IsBrowser");
    }
    log.Line("Log", L"Log file closed, " + Now());
    if (logFile != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(logFile, log.Text().data(), static_cast<DWORD>(log.Size()), &written, nullptr);
        CloseHandle(logFile);
    }
    AppendTime("ending");
    if (crash) {
        // An address the compiler cannot see, so that it writes there.
        static volatile std::uintptr_t nowhere = 0;
        *reinterpret_cast<volatile int*>(nowhere) = 0;
    }
    DestroyWindow(logWindow);
    return exitCode;
}
