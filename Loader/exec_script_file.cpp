#include "exec_script_file.h"

#include "rules/text_join.h"
#include "win32/failure.h"
#include "win32/unique_handles.h"

namespace dravik {

namespace {

// Which file, why, and what to do.
[[noreturn]] void ThrowCannotWrite(const std::wstring& path, DWORD error)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY)) {
        throw Failure(Join({L"The game's script ", path,
                            L" is read-only, so Dravik cannot write the demo into it. Untick \"Read-only\" in its "
                            L"properties, then open the demo again."}));
    }
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        throw Failure(Join({L"Another program holds the game's script ", path,
                            L" open, so Dravik cannot write the demo into it. Close that program, then open the demo "
                            L"again."}));
    }
    throw Failure(
        Join({L"Dravik cannot write the game's script ", path, L": ", SystemErrorText(error, path.c_str())}));
}

}  // namespace

void WriteExecScript(const std::wstring& path, const ScriptBytes& bytes)
{
    const auto create = [&path](DWORD attributes) {
        return UniqueHandle(
            CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, attributes, nullptr));
    };
    UniqueHandle file = create(FILE_ATTRIBUTE_NORMAL);
    if (!file && GetLastError() == ERROR_ACCESS_DENIED) {
        // Windows replaces a hidden or system file only when asked to keep
        // those attributes.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        if (attributes != INVALID_FILE_ATTRIBUTES && kept != 0) {
            file = create(kept);
        } else {
            SetLastError(ERROR_ACCESS_DENIED);
        }
    }
    if (!file) {
        ThrowCannotWrite(path, GetLastError());
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        ThrowCannotWrite(path, GetLastError());
    }
    if (written != bytes.size()) {
        ThrowCannotWrite(path, ERROR_WRITE_FAULT);
    }
}

}  // namespace dravik
