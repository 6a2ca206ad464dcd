// Writing the exec script that the game runs at start.
#pragma once

#include <string>

namespace dravik {

// The argument with its demo path made absolute against the current
// folder, in the argument's own quoting; the empty argument stays as it is.
// Fails when the path names no existing file.
std::wstring AbsoluteDemoArgument(const std::wstring& argument);

// The script line in the bytes the game reads: the ANSI code page. A demo
// path with letters that code page lacks is replaced by its short (8.3)
// form; where the file system has none, this fails.
std::string ExecScriptBytes(const std::wstring& argument);

// Creates or replaces the file with exactly these bytes: no byte-order mark,
// no line terminator.
void WriteExecScript(const std::wstring& path, const std::string& bytes);

}  // namespace dravik
