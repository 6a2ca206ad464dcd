// How the loader's script, the game's command line and related paths are made.
// Plain text rules, free of Windows headers.
#pragma once

#include <string>

namespace dravik {

// General + "\System\udemo.ini": plain concatenation, nothing normalised.
std::wstring ExecScriptPath(const std::wstring& general);

// General + "\System": the folder of the game's program and its script.
std::wstring SystemFolder(const std::wstring& general);

// "<path>" -exec=udemo.ini. The path is quoted so that a folder with blanks
// (C:\Program Files\...) cannot make Windows start C:\Program.exe instead.
std::wstring GameCommandLine(const std::wstring& path);

// A text in double quotes loses them; any other text stays as it is.
struct QuotedText {
    std::wstring text;
    bool quoted = false;
};
QuotedText Unquote(const std::wstring& text);

}  // namespace dravik
