// Registry writes that can be taken back. READY makes several writes in
// several keys; when Windows refuses one of them, the ones before it are
// undone, so that the user is left with the registry as it was.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace dravik {

class RegistryChanges {
public:
    RegistryChanges() = default;
    RegistryChanges(const RegistryChanges&) = delete;
    RegistryChanges& operator=(const RegistryChanges&) = delete;

    // Set a value, creating missing keys along the path; an empty name is
    // the key's default value. Returns ERROR_SUCCESS, or why Windows refused.
    LONG SetString(HKEY root, const std::wstring& subKey, const std::wstring& name, const std::wstring& value);
    LONG SetDword(HKEY root, const std::wstring& subKey, const std::wstring& name, DWORD value);

    // How many changes there are; UndoAfter(Count()) later undoes those
    // made from then on.
    std::size_t Count() const { return changes_.size(); }
    void UndoAfter(std::size_t count);
    void UndoAll() { UndoAfter(0); }

private:
    struct Change {
        HKEY root;
        std::wstring subKey;
        std::wstring name;
        std::wstring createdKey;  // the topmost key this change created, if any
        bool hadValue = false;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;  // the value it replaced
    };
    LONG Set(HKEY root, const std::wstring& subKey, const std::wstring& name, DWORD type, const BYTE* data,
             DWORD bytes);

    std::vector<Change> changes_;
};

}  // namespace dravik
