#include "exec_script_file.h"

#include "failure.h"
#include "unique_handles.h"

namespace dravik {

void WriteExecScript(const std::wstring& path, const ScriptBytes& bytes)
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
