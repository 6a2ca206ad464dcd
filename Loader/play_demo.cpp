#include "play_demo.h"

#include "demo_file.h"
#include "exec_script_file.h"
#include "game_check.h"
#include "game_lock.h"
#include "game_log_file.h"
#include "mdlMain.h"
#include "running_game.h"
#include "temporary_demo.h"
#include "window_dlls.h"
#include "rules/game_log.h"
#include "rules/game_paths.h"
#include "rules/game_reading.h"
#include "rules/loader_demo_form.h"
#include "rules/loader_rules.h"
#include "win32/failure.h"

#include <windows.h>

namespace dravik {

namespace {

constexpr wchar_t kNotSetUpText[] =
    L"Dravik is not set up yet: run Dravik.exe, confirm the path of UT2003.exe and press READY, "
    L"then open the demo again.";

unsigned long long Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<unsigned long long>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
}

// The form of the demo's path that the game reads as the demo.
DemoChoice ChooseForm(const std::wstring& demo, const std::wstring& general)
{
    DiskDemoFacts facts(demo, general);
    const DemoChoice choice = ChooseDemoForm(demo, facts, TemporaryDemoName(GetCurrentProcessId(), Now()));
    if (choice.form == DemoForm::None) {
        throw Failure(UnplayableDemoText(demo, facts.System()));
    }
    return choice;
}

}  // namespace

PlayOutcome PlayDemo(const SettingsRecord& settings, const std::wstring& argument)
{
    if (settings.Path.empty() || settings.General.empty()) {
        throw Failure(kNotSetUpText);
    }
    // The script goes into one game, and the other one would start.
    if (!SettingsAgree(settings.Path, settings.General)) {
        throw Failure(SettingsDisagreeText(settings.Path, settings.General));
    }
    // The game first: where it is not, nothing else matters.
    CheckGame(settings);
    const std::wstring demo = DemoPath(CleanTypedPath(argument));
    const DemoChoice choice = ChooseForm(demo, settings.General);

    GameLock lock;
    switch (lock.Take(settings.General)) {
    case GameLockState::Ours: break;
    case GameLockState::Preparing: return PlayOutcome::AnotherPreparing;
    case GameLockState::Playing: return PlayOutcome::AlreadyPlaying;
    case GameLockState::OtherAccount: return PlayOutcome::PlayingForAnotherAccount;
    }
    // The game hands its command line to a copy that already runs, which
    // ignores it, and ends at once: that is told after it. A game whose own
    // path makes it start another copy would play beside the one that runs,
    // so that is asked before (it loads the window DLLs early, for this
    // rare path alone).
    const std::wstring commandLine = GameCommandLine(settings.Path);
    const bool handsOver = !StartsAnotherCopy(commandLine);
    if (!handsOver && GameRuns(settings.Path)) {
        return PlayOutcome::GameAlreadyRunning;
    }
    const bool temporaryForm = choice.form == DemoForm::Link || choice.form == DemoForm::Copy;
    TemporaryDemo temporary;
    if (temporaryForm && !temporary.Make(demo, choice.path, choice.form == DemoForm::Link)) {
        return PlayOutcome::Cancelled;
    }
    // Always in quotes, so that blanks cannot end the path; an empty
    // argument goes in as it came, and the game starts without a demo.
    const bool quoted = !demo.empty() || argument.find(L'"') != std::wstring::npos;
    WriteExecScript(ExecScriptPath(settings.General), *DemoPlayScript(choice.path, quoted));

    const GameLogFile log(GameLogPath(settings.Path));
    DWORD exitCode = 0;
    // The game keeps the lock for as long as it runs.
    const DWORD error = RunAndWait(commandLine, GameWorkingFolder(settings.General), SW_SHOWNORMAL, exitCode,
                                   lock.Event(), LoadWindowDlls);
    temporary.Remove();
    // What loaders that were ended before their games left, after every
    // game: not before it, as its start would wait for the look through the
    // folder.
    SweepTemporaryDemos(SystemFolder(settings.General));
    lock.Release();
    if (error != ERROR_SUCCESS) {
        throw Failure(GameStartFailureText(error, SystemErrorText(error, settings.Path.c_str())));
    }
    if (IsErrorStatus(exitCode)) {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        throw Failure(GameEndedText(exitCode, StatusMeaning(MessageTableText(ntdll, exitCode)),
                                    log.ReadThisRun(LogQuestion::HowItCrashed).critical));
    }
    // Our game's window is gone: a copy that runs is the one it handed to.
    if (handsOver && GameRuns(settings.Path)) {
        return PlayOutcome::GameAlreadyRunning;
    }
    // Only what the log says: a demo the game could not open leaves no reason.
    const GameLogReading reading = log.ReadThisRun(LogQuestion::WhyNotPlayed);
    if (reading.failure != DemoFailure::None) {
        throw Failure(DemoNotPlayedText(demo, reading));
    }
    return PlayOutcome::Played;
}

}  // namespace dravik
