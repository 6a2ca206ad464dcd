#include "temporary_demo.h"

#include "copy_progress.h"
#include "rules/loader_demo_form.h"
#include "rules/loader_path_forms.h"
#include "rules/text_join.h"
#include "win32/failure.h"
#include "win32/unique_handles.h"

#include <vector>

namespace dravik {

namespace {

constexpr DWORD kChunkBytes = 1024 * 1024;

[[noreturn]] void ThrowCannotCopy(const std::wstring& demo, const std::wstring& path, DWORD error)
{
    throw Failure(Join({L"The game cannot read the path of the demo ", demo,
                        L", and Dravik could not copy the demo into the game's System folder to play it from there: ",
                        SystemErrorText(error, path.c_str())}));
}

// Copies the demo into the file, chunk by chunk; false when the user
// cancelled.
bool CopyInto(HANDLE target, const std::wstring& demo, const std::wstring& path)
{
    // Shared every way: another program may hold the demo open.
    const UniqueHandle source(CreateFileW(LongPathForm(demo).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size = {};
    if (!source || !GetFileSizeEx(source.get(), &size)) {
        ThrowCannotCopy(demo, path, GetLastError());
    }
    // Its whole size at once: the disk's room is known before the copy.
    if (!SetFilePointerEx(target, size, nullptr, FILE_BEGIN) || !SetEndOfFile(target) ||
        SetFilePointer(target, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
        ThrowCannotCopy(demo, path, GetLastError());
    }
    const ULONGLONG total = static_cast<ULONGLONG>(size.QuadPart);
    std::vector<char> chunk(kChunkBytes);
    CopyProgress progress(demo);
    for (ULONGLONG done = 0; done < total;) {
        DWORD read = 0;
        DWORD written = 0;
        if (!ReadFile(source.get(), chunk.data(), kChunkBytes, &read, nullptr) ||
            !WriteFile(target, chunk.data(), read, &written, nullptr)) {
            ThrowCannotCopy(demo, path, GetLastError());
        }
        if (read == 0 || written != read) {
            ThrowCannotCopy(demo, path, ERROR_HANDLE_EOF);
        }
        done += read;
#ifdef DRAVIK_TEST_COPY_CHUNK_DELAY_MS
        // Only in the tests' slow build of the loader, which shows the window.
        Sleep(DRAVIK_TEST_COPY_CHUNK_DELAY_MS);
#endif
        if (!progress.Copied(done, total)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool TemporaryDemo::Make(const std::wstring& demo, const std::wstring& path, bool link)
{
    Remove();
    if (link && CreateHardLinkW(path.c_str(), LongPathForm(demo).c_str(), nullptr)) {
        path_ = path;
        return true;
    }
    // Made new, so that the loader owns exactly what it made: never a file
    // that was there. With no attributes of the demo's: a read-only copy
    // could not be deleted after the game.
    UniqueHandle target(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target) {
        ThrowCannotCopy(demo, path, GetLastError());
    }
    // Owned from here on, so that a copy that breaks off is removed too.
    path_ = path;
    bool copied = false;
    try {
        copied = CopyInto(target.get(), demo, path);
    } catch (...) {
        target.reset();
        Remove();
        throw;
    }
    target.reset();
    if (!copied) {
        Remove();
    }
    return copied;
}

void TemporaryDemo::Remove()
{
    if (!path_.empty()) {
        DeleteFileW(path_.c_str());
        path_.clear();
    }
}

void SweepTemporaryDemos(const std::wstring& systemFolder)
{
    WIN32_FIND_DATAW found;
    const UniqueFind search(FindFirstFileW(Join({systemFolder, L"\\", kTemporaryDemoPattern}).c_str(), &found));
    if (!search) {
        return;
    }
    do {
        // The pattern matches short names too: only the loader's own names count.
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryDemoName(found.cFileName)) {
            DeleteFileW(Join({systemFolder, L"\\", found.cFileName}).c_str());
        }
    } while (FindNextFileW(search.get(), &found));
}

}  // namespace dravik
