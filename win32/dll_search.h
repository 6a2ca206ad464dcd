// Where the programs let Windows load libraries from.
#pragma once

namespace dravik {

// Limits library loading to the system folder. A demo is often opened from
// a Downloads folder, and a DLL planted there must never be loaded. Called
// by each program's earliest constructor (runtime/stack_guard.cpp), before
// any DLL is loaded on demand.
void RestrictDllSearch();

// Where Windows lacks SetDefaultDllDirectories (XP, Vista, and 7 without its
// updates), RestrictDllSearch takes the current folder out of the search with
// SetDllDirectoryW, which programs started meanwhile inherit. For as long as
// this lives, the search is Windows' default again, so that a program started
// meanwhile searches as when it is started from its own shortcut. Nothing
// may be loaded meanwhile.
class DefaultDllSearch {
public:
    DefaultDllSearch();
    ~DefaultDllSearch();
    DefaultDllSearch(const DefaultDllSearch&) = delete;
    DefaultDllSearch& operator=(const DefaultDllSearch&) = delete;
};

}  // namespace dravik
