// Registry writes that can be taken back. READY makes several writes in
// several places; when Windows refuses one of them, the ones before it are
// undone, so that the user is left with the registry as it was.
#pragma once

#include "places.h"
#include "win32/registry.h"

#include <optional>
#include <string>
#include <vector>

namespace dravik {

class RegistryChanges {
public:
    RegistryChanges() = default;
    RegistryChanges(const RegistryChanges&) = delete;
    RegistryChanges& operator=(const RegistryChanges&) = delete;

    // Sets a value of the key subKey, which lies below the place's base key
    // (both named from the place's root); an empty name is the key's default
    // value. The keys missing below the base are made one level at a time,
    // and only those that Windows reports as made count as Dravik's. Nothing
    // when done, otherwise where and why Windows refused; keys made before
    // the refusal are taken back with the rest.
    std::optional<Refusal> Set(Place place, const std::wstring& subKey, const wchar_t* name, const reg::Value& value);
    std::optional<Refusal> SetString(Place place, const std::wstring& subKey, const wchar_t* name,
                                     const std::wstring& text);

    // How many changes there are; UndoAfter(Count()) later undoes those
    // made from then on.
    std::size_t Count() const { return changes_.size(); }
    // Takes the changes back, newest first. What Windows refuses to take
    // back stays, and is listed in Left().
    void UndoAfter(std::size_t count);
    void UndoAll() { UndoAfter(0); }
    const std::vector<Refusal>& Left() const { return left_; }
    // The same, for a caller that is done with the changes.
    std::vector<Refusal> TakeLeft() { return std::move(left_); }

    // The topmost key that the last change made (below its place's root),
    // empty when it made none.
    std::wstring LastMadeKey() const { return changes_.empty() ? std::wstring() : changes_.back().madeKey; }

private:
    struct Change {
        Change(Place place, const std::wstring& subKey, const wchar_t* name)
            : place(place), subKey(subKey), name(name)
        {
        }

        Place place;
        std::wstring subKey;
        std::wstring name;
        std::wstring madeKey;    // the topmost key this change made, if any
        bool setsValue = false;  // false: it was refused before the value
        bool hadValue = false;
        reg::Value replaced;
    };

    std::vector<Change> changes_;
    std::vector<Refusal> left_;
};

}  // namespace dravik
