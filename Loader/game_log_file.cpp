#include "game_log_file.h"

#include "win32/unique_handles.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace dravik {

namespace {

constexpr ULONGLONG kPartBytes = 2 * 1024 * 1024;

// Gives the reader `bytes` bytes of the file from `offset`, or as many as
// there are, through the buffer.
void ReadPart(HANDLE file, ULONGLONG offset, ULONGLONG bytes, std::vector<char>& buffer, GameLogReader& reader)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) {
        return;
    }
    while (bytes > 0) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<ULONGLONG>(bytes, buffer.size()));
        if (!ReadFile(file, buffer.data(), wanted, &read, nullptr) || read == 0) {
            return;
        }
        reader.Read(std::string_view(buffer.data(), read));
        bytes -= read;
    }
}

}  // namespace

GameLogFile::GameLogFile(std::wstring path) : path_(std::move(path)), before_(Look(path_)) {}

GameLogFile::State GameLogFile::Look(const std::wstring& path)
{
    State state;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        state.exists = true;
        state.size.LowPart = data.nFileSizeLow;
        state.size.HighPart = data.nFileSizeHigh;
        state.written = data.ftLastWriteTime;
    }
    return state;
}

GameLogReading GameLogFile::ReadThisRun(LogQuestion question) const
{
    const State after = Look(path_);
    if (!after.exists || (before_.exists && after.size.QuadPart == before_.size.QuadPart &&
                          CompareFileTime(&after.written, &before_.written) == 0)) {
        return {};
    }
    // Shared every way: the game, or another program, may still hold it.
    const UniqueHandle file(CreateFileW(path_.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size)) {
        return {};
    }
    const ULONGLONG bytes = static_cast<ULONGLONG>(size.QuadPart);
    GameLogReader reader(question);
    // A small buffer used again: fresh memory for the whole log costs more
    // than reading it.
    std::vector<char> buffer(64 * 1024);
    if (bytes <= 2 * kPartBytes) {
        ReadPart(file.get(), 0, bytes, buffer, reader);
    } else {
        ReadPart(file.get(), 0, kPartBytes, buffer, reader);
        reader.Gap();
        ReadPart(file.get(), bytes - kPartBytes, kPartBytes, buffer, reader);
    }
    return reader.Finish();
}

}  // namespace dravik
