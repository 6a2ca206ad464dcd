#include "exec_script_file.h"

#include "ansi_text.h"
#include "failure.h"
#include "full_path.h"
#include "game_paths.h"
#include "unique_handles.h"

#include <vector>

namespace dravik {

namespace {

constexpr wchar_t kUnwritablePathText[] =
    L"The demo's path holds letters that the game cannot read, and Windows has no short name for it. "
    L"Move the demo to a folder whose path uses only plain letters, or give it such a name, and open it again.";

std::wstring ShortPath(const std::wstring& path)
{
    const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(size, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), buffer.data(), size);
    if (length == 0 || length >= size) {
        return std::wstring();
    }
    return std::wstring(buffer.data(), length);
}

}  // namespace

std::wstring AbsoluteDemoArgument(const std::wstring& argument)
{
    const QuotedText demo = Unquote(argument);
    if (demo.text.empty()) {
        return argument;
    }
    // The game runs in its own folder, where a relative path names nothing.
    const std::wstring full = FullPath(demo.text);
    if (full.empty() || !IsFile(full)) {
        throw Failure(L"There is no demo file at " + (full.empty() ? demo.text : full) +
                      L". It may have been moved, renamed or deleted; open it again from where it is now.");
    }
    return Requote(demo, full);
}

std::string ExecScriptBytes(const std::wstring& argument)
{
    if (auto bytes = ToAnsi(ExecScriptLine(argument))) {
        return *bytes;
    }
    // The game would read '?' in place of such letters and find no demo;
    // the short form of the path names the same file in plain letters.
    const QuotedText demo = Unquote(argument);
    const std::wstring shortPath = ShortPath(demo.text);
    if (!shortPath.empty()) {
        if (auto bytes = ToAnsi(ExecScriptLine(Requote(demo, shortPath)))) {
            return *bytes;
        }
    }
    throw Failure(kUnwritablePathText);
}

void WriteExecScript(const std::wstring& path, const std::string& bytes)
{
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        ThrowSystemError(GetLastError(), path.c_str());
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        ThrowSystemError(GetLastError(), path.c_str());
    }
    if (written != bytes.size()) {
        ThrowSystemError(ERROR_WRITE_FAULT, path.c_str());
    }
}

}  // namespace dravik
