#include "commands.h"

#include "outcome_messages.h"
#include "setup_error.h"
#include "uninstall.h"
#include "rules/text_join.h"
#include "win32/error_message.h"
#include "win32/failure.h"

#include <windows.h>

namespace dravik {

int UninstallCommand()
{
    int exitCode = 1;
    RunReported(nullptr, kSetupErrorTitlePrefix, [&exitCode] {
        const UninstallOutcome outcome = Uninstall();
        if (!outcome.refused.empty()) {
            throw Failure(UninstallRefusedText(outcome));
        }
        MessageBoxW(nullptr, UninstallSummaryText(outcome).c_str(), L"Dravik",
                    MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
        exitCode = 0;
    });
    return exitCode;
}

int UnknownArgumentCommand(const std::wstring& arguments)
{
    RunReported(nullptr, kSetupErrorTitlePrefix, [&arguments] {
        throw Failure(Join({L"Dravik.exe does not know the argument \"", arguments,
                            L"\". Run it without arguments to set Dravik up, or with /uninstall to remove what it "
                            L"registered."}));
    });
    return 2;
}

}  // namespace dravik
