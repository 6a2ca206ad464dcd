#include "outcome_messages.h"

#include "rules/text_join.h"
#include "win32/failure.h"

#include <algorithm>

namespace dravik {

namespace {

// The key as regedit names it, and why Windows refused it, in Windows' words
// (an insert in them names the key), after lead.
std::wstring KeyLine(const wchar_t* lead, const Refusal& refusal)
{
    return Join({lead, refusal.key, L": ", SystemErrorText(static_cast<DWORD>(refusal.status), refusal.key.c_str())});
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
        return left ? L"Dravik's entry in the list of installed programs"
                    : L"Dravik from the list of installed programs";
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
const wchar_t* ForWhom(Place place)
{
    switch (place) {
    case Place::EveryUsersClasses: return L" (for every user)";
    case Place::ThisUsersClasses: return L" (for this Windows account)";
    case Place::ProgramsList:
    case Place::SettingsRecord: break;
    }
    return L"";
}

// One line a part, in the order they are written, of what was removed or
// (left) of what is still there; with forWhom one line for each place that
// holds it, so that a part removed in one place and left in the other is not
// said to be both. A part left in a place that refused nothing was kept,
// because something before it was refused.
std::wstring PartLines(const UninstallOutcome& outcome, bool left, bool forWhom)
{
    std::wstring lines;
    for (const Part part : {Part::Association, Part::OpenWith, Part::FileType, Part::ProgramsListEntry,
                            Part::SettingsRecord}) {
        const std::size_t partStart = lines.size();
        for (const PartIn& in : left ? outcome.left : outcome.removed) {
            if (in.part != part) {
                continue;
            }
            const bool kept = left && std::none_of(outcome.refused.begin(), outcome.refused.end(),
                                                   [&](const Refusal& refusal) { return refusal.place == in.place; });
            const std::wstring line = Join({L"\n- ", PartText(part, left), forWhom ? ForWhom(in.place) : L"",
                                            kept ? L" (kept until the rest can be removed)" : L""});
            if (lines.find(line, partStart) == std::wstring::npos) {
                lines += line;
            }
        }
        if (part == Part::Association && lines.size() != partStart && !left && !outcome.restored.empty()) {
            Append(lines, {L"\n  (.dem files open with ", outcome.restored, L" again, as before Dravik)"});
        }
    }
    return lines;
}

// What the user can do about the refusals, and also, when there is one, about
// last; each said once: every user's keys need an administrator; a key of the
// user's own that refuses the user needs whoever manages the computer; any
// other reason is about the key or the registry itself, not about rights.
std::wstring WhatToDo(const std::vector<Refusal>& refusals, const Refusal* last, bool ready)
{
    bool administrator = false;
    const std::wstring* rightsKey = nullptr;  // the first key refused for want of rights
    bool rightsKeys = false;                  // and another one
    bool mend = false;
    const auto add = [&](const Refusal& refusal) {
        if (refusal.status != ERROR_ACCESS_DENIED) {
            mend = true;
        } else if (refusal.place == Place::EveryUsersClasses) {
            administrator = true;
        } else if (rightsKey == nullptr) {
            rightsKey = &refusal.key;
        } else if (*rightsKey != refusal.key) {
            rightsKeys = true;
        }
    };
    for (const Refusal& refusal : refusals) {
        add(refusal);
    }
    if (last != nullptr) {
        add(*last);
    }
    const wchar_t* const again = ready ? L"press READY again" : L"run Dravik.exe /uninstall again to remove the rest";
    std::wstring text;
    if (administrator) {
        text += ready ? L"\n\nRun Dravik.exe as an administrator (right-click it, \"Run as administrator\") and press "
                        L"READY again."
                      : L"\n\nRun Dravik.exe /uninstall as an administrator (for example from a command prompt opened "
                        L"with \"Run as administrator\") to remove the rest.";
    }
    if (rightsKey != nullptr) {
        Append(text, {L"\n\nWindows does not let your account change ", rightsKeys ? L"those keys" : L"that key",
                      L". Ask whoever manages this computer to allow it, then ", again, L"."});
    }
    if (mend) {
        Append(text, {L"\n\nWindows' reason is about the key or the registry itself, not about rights. Once whoever "
                      L"manages this computer has mended it (for example with regedit), ",
                      again, L"."});
    }
    return text;
}

}  // namespace

std::wstring ReadyRefusedText(const ReadyOutcome& outcome)
{
    const Refusal& refused = *outcome.refused;
    std::wstring text = Join({L"Windows did not let Dravik ", ReadyStepText(refused.place)});
    text += KeyLine(L":\n", refused);
    if (outcome.left.empty()) {
        text += L"\n\nDravik has taken back all it had written: everything is as it was before READY.";
    } else {
        text += L"\n\nDravik has taken back what it had written, except what Windows did not let it take back. "
                L"Still there:";
        for (const Refusal& left : outcome.left) {
            text += KeyLine(L"\n- ", left);
        }
    }
    text += WhatToDo(outcome.left, &refused, true);
    return text;
}

std::wstring ChosenProgramText(const ReadyOutcome& outcome)
{
    const ChosenProgram& chosen = *outcome.chosenProgram;
    std::wstring text =
        chosen.missing
            ? Join({L"Dravik is set up. Windows still holds your earlier choice of program for .dem files, but it "
                    L"names a file type that is not registered (",
                    chosen.name,
                    L"), which opens nothing: Windows may ask you which app opens demos.\n\nThen, or to settle it "
                    L"now, "})
            : Join({L"Dravik is set up, but Windows will keep opening .dem files with the program you chose for them "
                    L"before (",
                    chosen.name, L").\n\nTo play demos with Dravik, "});
    Append(text, {L"right-click a demo, choose \"Open with\", then \"Choose another app\", pick \"",
                  outcome.loaderName, L"\", tick \"Always use this app\" and press OK."});
    return text;
}

std::wstring UninstallSummaryText(const UninstallOutcome& outcome)
{
    const std::wstring lines = PartLines(outcome, false, false);
    if (lines.empty()) {
        return L"Dravik found nothing of its own to remove for this Windows account.";
    }
    return Join({L"Dravik has removed:", lines, L"\n\nYou can now delete the folder with Dravik.exe and loader.exe."});
}

std::wstring UninstallRefusedText(const UninstallOutcome& outcome)
{
    // Each place that refused once, with every key it refused below it.
    std::wstring text = L"Windows did not let Dravik remove:";
    const auto& refusals = outcome.refused;
    for (auto refusal = refusals.begin(); refusal != refusals.end(); ++refusal) {
        const auto samePlace = [&](const Refusal& other) { return other.place == refusal->place; };
        if (std::any_of(refusals.begin(), refusal, samePlace)) {
            continue;
        }
        Append(text, {L"\n- ", PlaceText(refusal->place)});
        for (const Refusal& in : refusals) {
            if (samePlace(in)) {
                const std::wstring line = KeyLine(L"\n  ", in);
                if (text.find(line) == std::wstring::npos) {
                    text += line;
                }
            }
        }
    }
    const std::wstring removed = PartLines(outcome, false, true);
    if (!removed.empty()) {
        Append(text, {L"\n\nRemoved so far:", removed});
    }
    Append(text, {L"\n\nStill there:", PartLines(outcome, true, true)});
    text += WhatToDo(outcome.refused, nullptr, false);
    return text;
}

}  // namespace dravik
