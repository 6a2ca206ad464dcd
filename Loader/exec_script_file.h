// Writing the exec script that the game runs at start.
#pragma once

#include <string>

namespace dravik {

// The script line in the bytes the game reads: the ANSI code page. A demo
// path with letters that code page lacks is replaced by its short (8.3)
// form; where the file system has none, this fails.
std::string ExecScriptBytes(const std::wstring& argument);

// Creates or replaces the file with exactly these bytes: no byte-order mark,
// no line terminator.
void WriteExecScript(const std::wstring& path, const std::string& bytes);

}  // namespace dravik
