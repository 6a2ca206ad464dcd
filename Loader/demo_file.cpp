#include "demo_file.h"

#include "rules/game_paths.h"
#include "rules/game_reading.h"
#include "rules/loader_path_forms.h"
#include "rules/text_join.h"
#include "win32/failure.h"
#include "win32/full_path.h"
#include "win32/growing_buffer.h"
#include "win32/unique_handles.h"

namespace dravik {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

[[noreturn]] void ThrowNotAFile(const std::wstring& path)
{
    throw Failure(Join({path, L" is a device, not a demo file. Open a .dem file."}));
}

// The short (8.3) form, which Windows 10 and 11 often lack on other volumes
// than the system's (and exFAT always): the long form then, or nothing.
std::wstring ShortPath(const std::wstring& path)
{
    const std::wstring longForm = LongPathForm(path);
    return PlainPathForm(TextFromGrowingBuffer([&longForm](wchar_t* buffer, DWORD size) {
        return GetShortPathNameW(longForm.c_str(), buffer, size);
    }));
}

// A hard link shares the demo's attributes and how it is shared: the link
// of a read-only demo could only be deleted by clearing the attribute, which
// would change the user's file, and while another program holds the demo
// open without letting others delete it, no link to it can be deleted.
// Such demos are copied instead.
bool LinkCanBeMadeAndRemoved(const std::wstring& demo)
{
    const std::wstring path = LongPathForm(demo);
    UniqueHandle file(
        CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    const bool deletable = static_cast<bool>(file);
    if (!file) {
        file.reset(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    if (!file) {
        ThrowSystemError(GetLastError(), demo.c_str());
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        ThrowNotAFile(demo);
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file.get(), &information)) {
        ThrowSystemError(GetLastError(), demo.c_str());
    }
    return deletable && !(information.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

std::wstring DemoPath(const std::wstring& path)
{
    if (path.empty()) {
        return path;
    }
    const std::wstring full = FullPath(path);
    if (IsDevicePath(full)) {
        ThrowNotAFile(full);
    }
    // Its first bytes tell a UT2004 demo, and opening it that it is there.
    const std::wstring longForm = LongPathForm(full);
    const UniqueHandle file(full.empty() ? nullptr
                                         : CreateFileW(longForm.c_str(), FILE_READ_DATA, kShareAll, nullptr,
                                                       OPEN_EXISTING, 0, nullptr));
    if (file) {
        char header[kDemoHeaderSize];
        DWORD read = 0;
        if (ReadFile(file.get(), header, sizeof header, &read, nullptr) && IsUT2004Demo(std::string_view(header, read))) {
            throw Failure(Join({full, L" is a UT2004 demo, which UT2003 cannot play. Open it in UT2004."}));
        }
        return full;
    }
    // Not opened: not there, a folder, or another program holds it without
    // letting others read (the game may still read it later).
    const DWORD attributes = full.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(longForm.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        throw Failure(Join({L"There is no demo file at ", full.empty() ? path : full,
                            L". It may have been moved, renamed or deleted; open it again from where it is now."}));
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        throw Failure(Join({full, L" is a folder, not a demo file. Open a .dem file."}));
    }
    return full;
}

std::wstring DiskDemoFacts::DemoShort()
{
    return ShortPath(demo_);
}

bool DiskDemoFacts::Linkable()
{
    return LinkCanBeMadeAndRemoved(demo_);
}

std::wstring DiskDemoFacts::System()
{
    if (!system_) {
        system_ = FullPath(SystemFolder(general_));
    }
    return *system_;
}

std::wstring DiskDemoFacts::SystemShort()
{
    return ShortPath(System());
}

}  // namespace dravik
