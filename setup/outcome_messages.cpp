#include "outcome_messages.h"

#include "failure.h"

#include <algorithm>

namespace dravik {

namespace {

// Windows' words; an insert in them names the key.
std::wstring Reason(const Refusal& refusal)
{
    return SystemErrorText(static_cast<DWORD>(refusal.status), refusal.key.c_str());
}

// The key as regedit names it, and why Windows refused it.
std::wstring KeyLine(const Refusal& refusal)
{
    return refusal.key + L": " + Reason(refusal);
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

// What READY was doing in a place when Windows refused.
const wchar_t* ReadyStepText(Place place)
{
    switch (place) {
    case Place::SettingsRecord: return L"store the path of UT2003.exe for your Windows account";
    case Place::EveryUsersClasses: return L"register .dem files for every user";
    case Place::ThisUsersClasses: return L"register .dem files for your Windows account";
    case Place::ProgramsList: return L"add its entry to the list of installed programs";
    }
    return L"";
}

// What /uninstall was removing in a place when Windows refused.
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
// the other is not said to be both. A part left in a place that refused
// nothing was kept, because something before it was refused.
std::wstring PartLines(const std::vector<PartIn>& parts, bool left, const std::wstring& restored, bool forWhom,
                       const std::vector<Place>& refused = {})
{
    std::wstring lines;
    for (const Part part : {Part::Association, Part::OpenWith, Part::FileType, Part::ProgramsListEntry,
                            Part::SettingsRecord}) {
        std::wstring said;
        for (const PartIn& in : parts) {
            const bool kept = left && std::find(refused.begin(), refused.end(), in.place) == refused.end();
            const std::wstring line = L"\n- " + std::wstring(PartText(part, left)) +
                                      (forWhom ? ForWhom(in.place) : L"") +
                                      (kept ? L" (kept until the rest can be removed)" : L"");
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

// What the user can do about refusals, each said once: every user's keys
// need an administrator; a key of the user's own that refuses the user
// needs whoever manages the computer; any other reason is about the key or
// the registry itself, not about rights.
std::wstring WhatToDo(const std::vector<Refusal>& refusals, bool ready)
{
    bool administrator = false;
    std::vector<std::wstring> rights;  // the keys
    bool mend = false;
    for (const Refusal& refusal : refusals) {
        if (refusal.status != ERROR_ACCESS_DENIED) {
            mend = true;
        } else if (refusal.place == Place::EveryUsersClasses) {
            administrator = true;
        } else if (std::find(rights.begin(), rights.end(), refusal.key) == rights.end()) {
            rights.push_back(refusal.key);
        }
    }
    const std::wstring again = ready ? L"press READY again" : L"run Dravik.exe /uninstall again to remove the rest";
    std::wstring text;
    if (administrator) {
        text += ready ? L"\n\nRun Dravik.exe as an administrator (right-click it, \"Run as administrator\") and press "
                        L"READY again."
                      : L"\n\nRun Dravik.exe /uninstall as an administrator (for example from a command prompt opened "
                        L"with \"Run as administrator\") to remove the rest.";
    }
    if (!rights.empty()) {
        text += std::wstring(L"\n\nWindows does not let your account change ") +
                (rights.size() > 1 ? L"those keys" : L"that key") +
                L". Ask whoever manages this computer to allow it, then " + again + L".";
    }
    if (mend) {
        text += L"\n\nWindows' reason is about the key or the registry itself, not about rights. Once whoever manages "
                L"this computer has mended it (for example with regedit), " + again + L".";
    }
    return text;
}

}  // namespace

std::wstring ReadyRefusedText(const ReadyOutcome& outcome)
{
    const Refusal& refused = *outcome.refused;
    std::wstring text = L"Windows did not let Dravik " + std::wstring(ReadyStepText(refused.place)) + L":\n" +
                        KeyLine(refused);
    if (outcome.left.empty()) {
        text += L"\n\nDravik has taken back all it had written: everything is as it was before READY.";
    } else {
        text += L"\n\nDravik has taken back what it had written, except what Windows did not let it take back. "
                L"Still there:";
        for (const Refusal& left : outcome.left) {
            text += L"\n- " + KeyLine(left);
        }
    }
    std::vector<Refusal> refusals = outcome.left;
    refusals.push_back(refused);
    return text + WhatToDo(refusals, true);
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
    // Each place that refused once, with every key it refused below it.
    std::wstring text = L"Windows did not let Dravik remove:";
    std::vector<Place> places;
    for (const Refusal& refusal : outcome.refused) {
        if (std::find(places.begin(), places.end(), refusal.place) != places.end()) {
            continue;
        }
        places.push_back(refusal.place);
        text += L"\n- " + std::wstring(PlaceText(refusal.place));
        for (const Refusal& in : outcome.refused) {
            const std::wstring line = L"\n  " + KeyLine(in);
            if (in.place == refusal.place && text.find(line) == std::wstring::npos) {
                text += line;
            }
        }
    }
    const std::wstring removed = PartLines(outcome.removed, false, outcome.restored, true);
    if (!removed.empty()) {
        text += L"\n\nRemoved so far:" + removed;
    }
    text += L"\n\nStill there:" + PartLines(outcome.left, true, L"", true, places);
    return text + WhatToDo(outcome.refused, false);
}

}  // namespace dravik
