// The programs' one way into the registry. Every function answers with
// Windows' status: ERROR_SUCCESS; ERROR_FILE_NOT_FOUND when the key or value
// is not there; otherwise why Windows refused.
#pragma once

#include "win32/unique_handles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace dravik::reg {

// Opens an existing key. access may add KEY_WOW64_32KEY: the registry that
// 32-bit installers write to (32-bit Windows has only that one and ignores it).
LONG OpenKey(HKEY parent, const std::wstring& path, REGSAM access, UniqueKey& key);

// Opens the key name right below parent, one level, or creates it; made says
// which of the two Windows did.
LONG CreateKey(HKEY parent, const std::wstring& name, REGSAM access, UniqueKey& key, bool& made);

// Opens or creates every key along path below parent, one level at a time;
// the keys along the way are opened to create keys below them. firstMade is
// the part of path down to the first key that Windows made, empty when it
// made none; on a refusal too, as some keys may have been made before it.
LONG CreatePath(HKEY parent, const std::wstring& path, REGSAM access, UniqueKey& key, std::wstring& firstMade);

// Value names are C strings, as Windows takes them: most are fixed names,
// which then need no string made for them; an empty name is the key's
// default value.
struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

Value StringValue(const std::wstring& text);
Value DwordValue(DWORD number);
Value MultiStringValue(const std::vector<std::wstring>& texts);

LONG ReadValue(HKEY key, const wchar_t* name, Value& value);
// ERROR_UNSUPPORTED_TYPE when the value is there but not a REG_SZ.
LONG ReadString(HKEY key, const wchar_t* name, std::wstring& text);
// ERROR_UNSUPPORTED_TYPE when the value is there but not a REG_MULTI_SZ.
LONG ReadMultiString(HKEY key, const wchar_t* name, std::vector<std::wstring>& texts);

LONG WriteValue(HKEY key, const wchar_t* name, const Value& value);

// A value that is not there counts as deleted.
LONG DeleteValue(HKEY key, const wchar_t* name);

// Deletes the key with everything below it.
LONG DeleteTree(HKEY parent, const std::wstring& path);

// Deletes the key when nothing is in it, neither values nor subkeys;
// ERROR_DIR_NOT_EMPTY when something is.
LONG DeleteIfEmpty(HKEY parent, const std::wstring& path);

LONG CountContents(HKEY key, DWORD& subKeys, DWORD& values);

// The key as regedit names it: HKEY_CURRENT_USER\Software\Dravik.
std::wstring FullName(HKEY root, const std::wstring& path);

}  // namespace dravik::reg
