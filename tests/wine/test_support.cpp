#include "test_support.h"

#include "window_probe.h"
#include "win32/system_function.h"

#include <gtest/gtest.h>

#include <sddl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <map>
#include <vector>

namespace dravik::test {

namespace {

std::wstring RequiredEnvironment(const wchar_t* name)
{
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH * 4);
    if (length == 0 || length >= MAX_PATH * 4) {
        ADD_FAILURE() << "the test run sets no " << std::string(name, name + wcslen(name));
        return std::wstring();
    }
    return std::wstring(buffer, length);
}

std::wstring FromUtf8(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

}  // namespace

std::wstring LoaderPath() { return RequiredEnvironment(L"DRAVIK_LOADER"); }
std::wstring StandInPath() { return RequiredEnvironment(L"DRAVIK_STANDIN"); }
std::wstring SetupPath() { return RequiredEnvironment(L"DRAVIK_SETUP"); }
std::wstring LongLabelsSetupPath() { return RequiredEnvironment(L"DRAVIK_SETUP_LONG_LABELS"); }
std::wstring SlowCopyLoaderPath() { return RequiredEnvironment(L"DRAVIK_SLOW_COPY_LOADER"); }

std::wstring ScreenshotPath(const std::wstring& name)
{
    wchar_t folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"DRAVIK_SCREENSHOTS", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::wstring();
    }
    MakeFolders(folder);
    return std::wstring(folder) + L"\\" + name;
}
std::wstring PlantedDllPath() { return RequiredEnvironment(L"DRAVIK_PLANTED_DLL"); }
std::wstring StackGuardProbePath() { return RequiredEnvironment(L"DRAVIK_STACK_GUARD_PROBE"); }
std::wstring LibraryErrorsProbePath() { return RequiredEnvironment(L"DRAVIK_LIBRARY_ERRORS_PROBE"); }
std::wstring WineTraceLogPath() { return RequiredEnvironment(L"DRAVIK_WINE_TRACE_LOG"); }

std::vector<std::string> TraceLines(const std::string& trace)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = trace.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(trace.substr(start, end - start));
    }
    return lines;
}

std::string TracePrefix(DWORD pid)
{
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%04lx:", static_cast<unsigned long>(pid));
    return prefix;
}

std::vector<std::string> LinesOf(const std::vector<std::string>& lines, DWORD pid, const std::string& holding)
{
    const std::string prefix = TracePrefix(pid);
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.compare(0, prefix.size(), prefix) == 0 && line.find(holding) != std::string::npos) {
            found.push_back(line);
        }
    }
    return found;
}

std::wstring FreshTestFolder()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    const std::wstring folder = L"C:\\Dravik Tests\\" + std::wstring(name.begin(), name.end());
    RemoveTree(folder);
    MakeFolders(folder);
    return folder;
}

void MakeFolders(const std::wstring& path)
{
    for (std::size_t at = path.find(L'\\', 3); ; at = path.find(L'\\', at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
        if (at == std::wstring::npos) {
            break;
        }
    }
}

namespace {

bool CanWrite(const std::wstring& path)
{
    return static_cast<bool>(UniqueHandle(CreateFileW(path.c_str(), GENERIC_WRITE,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, 0, nullptr)));
}

// Linux's immutable flag, which stops even root, set or cleared with chattr.
// Wine starts Linux programs too, but gives no handle to wait on: the
// outcome is waited for instead.
void SetImmutable(const std::wstring& path, bool immutable)
{
    Start(L"Z:\\usr\\bin\\chattr", (immutable ? L"+i \"" : L"-i \"") + UnixPath(path) + L"\"");
    probe::WaitFor(5000, [&] { return CanWrite(path) != immutable; });
}

}  // namespace

bool MakeReadOnly(const std::wstring& path)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    if (CanWrite(path)) {
        SetImmutable(path, true);
    }
    return !CanWrite(path);
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = path + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (!DeleteFileW(child.c_str())) {
                    SetImmutable(child, false);
                    DeleteFileW(child.c_str());
                }
            }
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file) << "cannot write a test file";
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::optional<std::string> ReadBytes(const std::wstring& path)
{
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
    }
    return bytes;
}

GameFolder MakeGameFolder(const std::wstring& folder, GameParts parts)
{
    GameFolder game{folder, folder + L"\\System", folder + L"\\System\\UT2003.exe"};
    const std::wstring script = game.system + L"\\udemo.ini";
    switch (parts) {
    case GameParts::NoGameFolder: return game;
    case GameParts::NoSystemFolder: MakeFolders(folder); return game;
    case GameParts::NoGame: MakeFolders(game.system); return game;
    case GameParts::NotAProgram: MakeFolders(game.system); WriteBytes(game.exe, "not a program"); return game;
    case GameParts::GameIsAFolder: MakeFolders(game.exe); return game;
    default: break;
    }
    MakeFolders(game.system);
    EXPECT_TRUE(CopyFileW(StandInPath().c_str(), game.exe.c_str(), FALSE)) << "cannot place the stand-in game";
    if (parts == GameParts::ScriptIsAFolder) {
        MakeFolders(script);
    }
    if (parts == GameParts::ReadOnlyScript || parts == GameParts::LockedScript) {
        WriteBytes(script, "demoplay \"C:\\an older demo.dem\"");
        if (parts == GameParts::ReadOnlyScript) {
            MakeReadOnly(script);
        }
    }
    return game;
}

void WriteSettings(const std::wstring& path, const std::wstring& general)
{
    UniqueKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Dravik\\Setup", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, value] : {std::pair{L"Path", path}, std::pair{L"General", general}}) {
        RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
}

void DeleteSettings()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Dravik");
}

std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key, const std::wstring& name)
{
    DWORD bytes = 0;
    const DWORD flags = RRF_RT_REG_SZ;
    if (RegGetValueW(root, key.c_str(), name.c_str(), flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(root, key.c_str(), name.c_str(), flags, nullptr, &text[0], &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(wcslen(text.c_str()));
    return text;
}

void SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    UniqueKey handle;
    ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, handle.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(handle.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void SetKeyAccess(HKEY root, const std::wstring& key, const wchar_t* sddl)
{
    PSECURITY_DESCRIPTOR security = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &security, nullptr));
    UniqueKey handle;
    EXPECT_EQ(RegOpenKeyExW(root, key.c_str(), 0, WRITE_DAC, handle.put()), ERROR_SUCCESS);
    EXPECT_EQ(RegSetKeySecurity(handle.get(), DACL_SECURITY_INFORMATION, security), ERROR_SUCCESS);
    LocalFree(security);
}

std::optional<StandInRecord> WaitForStandInRecord(const GameFolder& game, DWORD timeoutMs)
{
    const std::optional<std::string> bytes =
        probe::WaitFor(timeoutMs, [&] { return ReadBytes(game.system + L"\\standin-record.txt"); });
    if (!bytes) {
        return std::nullopt;
    }
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes->find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = bytes->substr(start, end - start);
        const std::size_t equals = line.find('=');
        fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    StandInRecord record;
    record.pid = static_cast<DWORD>(std::stoul(fields["pid"]));
    record.commandLine = FromUtf8(fields["command_line"]);
    record.currentDirectory = FromUtf8(fields["current_directory"]);
    record.handedOver = fields["handed_over"] == "1";
    record.scriptFound = fields.count("script") != 0 && fields["script"] != "missing";
    record.script = record.scriptFound ? FromHex(fields["script"]) : std::string();
    record.codePage = static_cast<UINT>(std::stoul(fields["code_page"]));
    record.demoOpened = fields.count("demo") != 0;
    record.demoFile = fields["demo_file"] == "none" ? std::wstring() : FromUtf8(fields["demo_file"]);
    record.demo = FromHex(fields["demo"]);
    record.demoSize = record.demoOpened ? std::stoull(fields["demo_size"]) : 0;
    record.demoLinks = record.demoOpened ? static_cast<DWORD>(std::stoul(fields["demo_links"])) : 0;
    record.demoWhy = fields["demo_why"];
    return record;
}

bool GameWasStarted(const GameFolder& game)
{
    return Exists(game.system + L"\\standin-record.txt");
}

Program& Program::operator=(Program&& other)
{
    if (this != &other) {
        End();
        process = std::move(other.process);
        id = other.id;
    }
    return *this;
}

Program::~Program()
{
    End();
}

void Program::End()
{
    if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
    }
}

bool Program::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const
{
    if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    if (exitCode != nullptr) {
        GetExitCodeProcess(process.get(), exitCode);
    }
    return true;
}

Program Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder, bool inheritHandles)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    Program program;
    if (!CreateProcessW(exe.c_str(), buffer.data(), nullptr, nullptr, inheritHandles, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        ADD_FAILURE() << "cannot start the program, error " << GetLastError();
        return program;
    }
    CloseHandle(started.hThread);
    program.process.reset(started.hProcess);
    program.id = started.dwProcessId;
    return program;
}

bool WaitUntilNoProcessNamed(const std::wstring& name, DWORD timeoutMs)
{
    return probe::WaitFor(timeoutMs, [&name] {
        bool running = false;
        const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot.get(), &entry); more && !running;
             more = Process32NextW(snapshot.get(), &entry)) {
            running = lstrcmpiW(entry.szExeFile, name.c_str()) == 0;
        }
        return !running;
    });
}

std::wstring UnixPath(const std::wstring& path)
{
    // Wine's own export; it allocates the result on the process heap.
    using ToUnix = char* CDECL(const wchar_t*);
    const auto toUnix = SystemFunction<ToUnix>(L"kernel32.dll", "wine_get_unix_file_name");
    char* unixPath = toUnix != nullptr ? toUnix(path.c_str()) : nullptr;
    if (unixPath == nullptr) {
        ADD_FAILURE() << "no Linux path for " << Narrow(path);
        return std::wstring();
    }
    const std::wstring result = FromUtf8(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

void SetScreenDpi(DWORD dpi)
{
    UniqueKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
}

void BecomeDpiAware()
{
    using SetContextFunction = BOOL WINAPI(DPI_AWARENESS_CONTEXT);
    if (auto set = SystemFunction<SetContextFunction>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
        set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }
}

void SetStandIn(DWORD stayMs, int exitCode, DWORD readMs)
{
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_READ_MS", std::to_wstring(readMs).c_str());
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_MS", std::to_wstring(stayMs).c_str());
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_EXIT", std::to_wstring(exitCode).c_str());
    SetEnvironmentVariableW(L"DRAVIK_STANDIN_WINDOW", L"0");
}

}  // namespace dravik::test
