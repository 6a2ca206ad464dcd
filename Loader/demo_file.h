// The demo the loader was given, as Windows finds it.
#pragma once

#include "rules/loader_demo_form.h"

#include <string>

namespace dravik {

// The demo's path made absolute against the current folder (the game runs
// in its own folder, where a relative path names nothing); empty for an
// empty path. Fails when it names no existing file, or a device.
std::wstring DemoPath(const std::wstring& path);

// What the choice of the demo's form needs to know, for a demo whose own
// path the game cannot read and a link or copy of the given name. Fails when
// the demo is not a file on a disk, where it comes to a link or copy.
DemoFacts GatherDemoFacts(const std::wstring& demo, const std::wstring& general, const std::wstring& temporaryName);

}  // namespace dravik
