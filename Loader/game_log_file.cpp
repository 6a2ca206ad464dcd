#include "game_log_file.h"

#include "win32/unique_handles.h"

#include <string_view>
#include <vector>

namespace dravik {

namespace {

constexpr DWORD kPartBytes = 2 * 1024 * 1024;

// Up to `bytes` bytes of the file from `offset`.
std::vector<char> ReadPart(HANDLE file, ULONGLONG offset, DWORD bytes)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    std::vector<char> part(bytes);
    DWORD read = 0;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) || !ReadFile(file, part.data(), bytes, &read, nullptr)) {
        read = 0;
    }
    part.resize(read);
    return part;
}

std::string_view View(const std::vector<char>& bytes)
{
    return std::string_view(bytes.data(), bytes.size());
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

GameLogReading GameLogFile::ReadThisRun() const
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
    if (bytes <= 2ull * kPartBytes) {
        return ReadGameLog(View(ReadPart(file.get(), 0, static_cast<DWORD>(bytes))));
    }
    const std::vector<char> head = ReadPart(file.get(), 0, kPartBytes);
    return ReadGameLog(View(head), View(ReadPart(file.get(), bytes - kPartBytes, kPartBytes)));
}

}  // namespace dravik
