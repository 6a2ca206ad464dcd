// A hard link to, or a copy of, the user's demo in the game's System folder,
// for a demo whose own path the game cannot read. The user's demo itself is
// never changed or moved, and no file is deleted that the loader did not
// make itself.
#pragma once

#include <string>

namespace dravik {

class TemporaryDemo {
public:
    TemporaryDemo() = default;
    TemporaryDemo(const TemporaryDemo&) = delete;
    TemporaryDemo& operator=(const TemporaryDemo&) = delete;
    ~TemporaryDemo() { Remove(); }

    // Makes `path` name the demo: a hard link where `link` asks for one and
    // Windows makes it (not across volumes, nor on FAT, exFAT and most
    // network shares), else a copy, made in the loader's own chunks so that
    // a long one shows its progress and can be cancelled. False when the
    // user cancelled: nothing is left then. Fails when neither can be made.
    bool Make(const std::wstring& demo, const std::wstring& path, bool link);

    // Deletes it. One that another program still holds stays until a later
    // loader sweeps it away.
    void Remove();

private:
    std::wstring path_;  // only once this loader made it
};

// Deletes the links and copies that earlier loaders left in the folder (a
// loader that was ended before its game, a game that still held one), where
// they can be deleted.
void SweepTemporaryDemos(const std::wstring& systemFolder);

}  // namespace dravik
