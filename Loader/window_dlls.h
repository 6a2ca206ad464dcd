// The loader's window DLLs, which it loads on demand (see CMakeLists.txt).
#pragma once

namespace dravik {

// Loads them, and the common controls its messages use, now. Called while
// the game runs, so that the thank-you shows as soon as the game has ended,
// and once the game has started, so that its start waits for none of it.
void LoadWindowDlls();

}  // namespace dravik
