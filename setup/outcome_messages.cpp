#include "outcome_messages.h"

#include "failure.h"

namespace dravik {

namespace {

std::wstring Reason(const Refusal& refusal)
{
    return SystemErrorText(static_cast<DWORD>(refusal.status));
}

// As a line of what was removed, or of what is still there.
const wchar_t* PartText(Part part, bool left)
{
    switch (part) {
    case Part::Association: return L"loader.exe as the program that opens .dem files";
    case Part::OpenWith:
        return left ? L"loader.exe in the \"Open with\" list of .dem files"
                    : L"loader.exe from the \"Open with\" list of .dem files";
    case Part::FileType: return L"the demo file type dravikfile";
    case Part::ProgramsListEntry:
        return left ? L"Dravik's entry in the list of installed programs" : L"Dravik from the list of installed programs";
    case Part::SettingsRecord: return L"the stored path of UT2003.exe";
    }
    return L"";
}

const wchar_t* PlaceText(Place place)
{
    switch (place) {
    case Place::EveryUsersClasses: return L"its registration of .dem files for every user";
    case Place::ThisUsersClasses: return L"its registration of .dem files for this Windows account";
    case Place::ProgramsList: return L"its entry in the list of installed programs";
    case Place::SettingsRecord: return L"the stored path of UT2003.exe";
    }
    return L"";
}

// Said of a part of the registration where it matters which place holds it.
std::wstring ForWhom(Place place)
{
    switch (place) {
    case Place::EveryUsersClasses: return L" (for every user)";
    case Place::ThisUsersClasses: return L" (for this Windows account)";
    case Place::ProgramsList:
    case Place::SettingsRecord: break;
    }
    return std::wstring();
}

// One line a part, in the order they are written; with forWhom one line for
// each place that holds it, so that a part removed in one place and left in
// the other is not said to be both.
std::wstring PartLines(const std::vector<PartIn>& parts, bool left, const std::wstring& restored, bool forWhom)
{
    std::wstring lines;
    for (const Part part : {Part::Association, Part::OpenWith, Part::FileType, Part::ProgramsListEntry,
                            Part::SettingsRecord}) {
        std::wstring said;
        for (const PartIn& in : parts) {
            const std::wstring line = L"\n- " + std::wstring(PartText(part, left)) + (forWhom ? ForWhom(in.place) : L"");
            if (in.part == part && said.find(line) == std::wstring::npos) {
                said += line;
            }
        }
        lines += said;
        if (part == Part::Association && !said.empty() && !restored.empty()) {
            lines += L"\n  (.dem files open with " + restored + L" again, as before Dravik)";
        }
    }
    return lines;
}

}  // namespace

std::wstring ReadyRefusedText(const ReadyOutcome& outcome)
{
    std::wstring text = Reason(*outcome.refused);
    if (!outcome.left.empty()) {
        text += L"\n\nWindows did not let Dravik take back all it had written before. Still there:";
        for (const Refusal& left : outcome.left) {
            text += L"\n- " + left.key + L" (" + Reason(left) + L")";
        }
    }
    return text;
}

std::wstring ChosenProgramText(const ReadyOutcome& outcome)
{
    const ChosenProgram& chosen = *outcome.chosenProgram;
    const std::wstring pick = L"right-click a demo, choose \"Open with\", then \"Choose another app\", pick \"" +
                              outcome.loaderName + L"\", tick \"Always use this app\" and press OK.";
    if (chosen.missing) {
        return L"Dravik is set up. Windows still holds your earlier choice of program for .dem files, but it names a "
               L"file type that is not registered (" + chosen.name + L"), which opens nothing: Windows may ask you "
               L"which app opens demos.\n\nThen, or to settle it now, " + pick;
    }
    return L"Dravik is set up, but Windows will keep opening .dem files with the program you chose for them "
           L"before (" + chosen.name + L").\n\nTo play demos with Dravik, " + pick;
}

std::wstring UninstallSummaryText(const UninstallOutcome& outcome)
{
    const std::wstring lines = PartLines(outcome.removed, false, outcome.restored, false);
    if (lines.empty()) {
        return L"Dravik found nothing of its own to remove for this Windows account.";
    }
    return L"Dravik has removed:" + lines + L"\n\nYou can now delete the folder with Dravik.exe and loader.exe.";
}

std::wstring UninstallRefusedText(const UninstallOutcome& outcome)
{
    std::wstring text = L"Windows did not let Dravik remove";
    bool everyUser = false;
    for (const Refusal& refusal : outcome.refused) {
        const std::wstring line = L"\n- " + std::wstring(PlaceText(refusal.place)) + L" (" + Reason(refusal) + L")";
        text += text.find(line) == std::wstring::npos ? line : std::wstring();
        everyUser = everyUser || refusal.place == Place::EveryUsersClasses;
    }
    text += L"\n\nStill there:" + PartLines(outcome.left, true, L"", true);
    if (everyUser) {
        text += L"\n\nRun Dravik.exe /uninstall as an administrator (for example from a command prompt opened with "
                L"\"Run as administrator\") to remove everything.";
    }
    const std::wstring removed = PartLines(outcome.removed, false, outcome.restored, true);
    if (!removed.empty()) {
        text += L"\n\nRemoved so far:" + removed;
    }
    return text;
}

}  // namespace dravik
