// The setup tool's messages about what READY and /uninstall did, made from
// their outcomes. A refusal's message says where Windows refused and why,
// what was taken back or removed and what is left, and what to do.
#pragma once

#include "outcomes.h"

#include <string>

namespace dravik {

// The error description when READY stopped at a refusal.
std::wstring ReadyRefusedText(const ReadyOutcome& outcome);

// Windows 8 and later let the user's own choice of program win over any
// registration, and no program may change that choice: how to pick this
// loader, after a READY whose outcome holds such a choice.
std::wstring ChosenProgramText(const ReadyOutcome& outcome);

// What /uninstall removed, when Windows refused nothing.
std::wstring UninstallSummaryText(const UninstallOutcome& outcome);

// The error description when Windows refused some of it.
std::wstring UninstallRefusedText(const UninstallOutcome& outcome);

}  // namespace dravik
