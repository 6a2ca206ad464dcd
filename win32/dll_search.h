// Where the programs let Windows load libraries from.
#pragma once

namespace dravik {

// Limits library loading to the system folder. A demo is often opened from
// a Downloads folder, and a DLL planted there must never be loaded. Called
// by each program's earliest constructor (runtime/stack_guard.cpp), before
// any DLL is loaded on demand.
void RestrictDllSearch();

}  // namespace dravik
