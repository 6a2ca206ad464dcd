// What READY and /uninstall did: what their messages are made from.
#pragma once

#include "places.h"

#include <optional>
#include <string>
#include <vector>

namespace dravik {

// The program the user chose for .dem files in the shell (Windows 8 and later).
struct ChosenProgram {
    std::wstring name;     // as Windows names it; the type's own name when missing
    bool missing = false;  // the choice names a type that is not registered
};

struct ReadyOutcome {
    // READY stopped at this refusal and took back what it had written...
    std::optional<Refusal> refused;
    // ...except these, which Windows did not let it take back: still there.
    std::vector<Refusal> left;

    // The user's own choice of program for .dem files, which wins over any
    // registration; none when there is none, or it is this loader.
    std::optional<ChosenProgram> chosenProgram;
    // How Windows lists loader.exe, for the user to pick it instead.
    std::wstring loaderName;
};

// What Dravik writes, as /uninstall removes it.
enum class Part {
    Association,        // .dem -> dravikfile
    OpenWith,           // dravikfile, and the types READY added, in .dem's "Open with" list
    FileType,           // the dravikfile key: the demo icon and the open command
    ProgramsListEntry,  // Dravik in the list of installed programs (Place::ProgramsList)
    SettingsRecord,     // the stored path of UT2003.exe (Place::SettingsRecord)
};

struct PartIn {
    Part part;
    Place place;
};

struct UninstallOutcome {
    std::vector<PartIn> removed;
    // Still there: refused, or kept because something before it was refused,
    // so that Dravik keeps working and a later run finds all of it.
    std::vector<PartIn> left;
    std::vector<Refusal> refused;
    // The program that .dem files open with again, as Windows names it.
    std::wstring restored;
};

}  // namespace dravik
