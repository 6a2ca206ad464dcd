#include "rules/loader_rules.h"

#include "rules/text_join.h"
#include "rules/windows_names.h"
#include "shared/game_names.h"

#include <cwchar>
#include <cwctype>

namespace dravik {

namespace {

constexpr unsigned long kElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED

bool IsDriveOnly(const std::wstring& folder)
{
    return folder.size() == 2 && folder[1] == L':' && std::iswalpha(folder[0]);
}

}  // namespace

std::wstring GameWorkingFolder(const std::wstring& general)
{
    return IsDriveOnly(general) ? Join({general, L"\\"}) : general;
}

std::wstring GameLockName(const std::wstring& general)
{
    std::wstring folder = general;
    while (!folder.empty() && folder.back() == L'\\') {
        folder.pop_back();
    }
    // FNV-1a over the folder's name folded as Windows compares names: a
    // short name however long the folder, as names of such objects are
    // limited to MAX_PATH.
    unsigned long long hash = 14695981039346656037ull;
    for (const wchar_t letter : folder) {
        hash ^= static_cast<unsigned long long>(FoldedLetter(letter)) & 0xFFFFu;
        hash *= 1099511628211ull;
    }
    // Every session's: one game folder, whichever Windows account plays.
    std::wstring name = L"Global\\Dravik.Game.";
    AppendHex(name, hash, 16);
    return name;
}

bool IsErrorStatus(unsigned long exitCode)
{
    const unsigned long status = exitCode & 0xFFFFFFFFul;
    // STATUS_DATATYPE_MISALIGNMENT, STATUS_BREAKPOINT, STATUS_SINGLE_STEP
    const bool crashWarning = status == 0x80000002ul || status == 0x80000003ul || status == 0x80000004ul;
    return crashWarning || (status >= 0xC0000000ul && status != 0xFFFFFFFFul);
}

std::wstring HexStatus(unsigned long status)
{
    std::wstring hex = L"0x";
    AppendHex(hex, status, 8);
    return hex;
}

std::wstring StatusMeaning(const std::wstring& text)
{
    std::wstring meaning;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t letter = text[i];
        if (letter == L'%' && i + 1 < text.size()) {
            // %s, %hs, %ws, %p, %08lx, %d and the like.
            std::size_t end = i + 1;
            while (end < text.size() && std::wcschr(L"0123456789.-#lhwI", text[end]) != nullptr) {
                ++end;
            }
            if (end < text.size() && std::wcschr(L"sSpxXdiuc", text[end]) != nullptr) {
                meaning += L"...";
                i = end;
                continue;
            }
        }
        if (letter == L'\r' || letter == L'\n') {
            if (!meaning.empty() && meaning.back() != L' ') {
                meaning += L' ';
            }
            continue;
        }
        meaning += letter;
    }
    while (!meaning.empty() && meaning.back() == L' ') {
        meaning.pop_back();
    }
    return meaning;
}

std::wstring GameEndedText(unsigned long status, const std::wstring& meaning, const std::wstring& critical)
{
    return Join({L"The game ended with the error status ", HexStatus(status), meaning.empty() ? L"." : L": ", meaning,
                 critical.empty() ? L"" : L"\n\nThe game reported: ", critical,
                 L"\n\nThe game did not end as usual. If it does so again, check that it starts without Dravik."});
}

std::wstring DemoNotPlayedText(const std::wstring& demo, const GameLogReading& reading)
{
    const std::wstring& package = reading.package;
    if (reading.failure == DemoFailure::OtherVersion) {
        return Join({L"The game could not play the demo ", demo, L": it was recorded with another version of the "
                     L"package ", package, L" than this game has. Put the version of ", package,
                     L" that the demo was recorded with where the game keeps its maps or packages, then open the "
                     L"demo again."});
    }
    return Join({L"The game could not play the demo ", demo, L": it needs the package ", package,
                 L", which this game does not have. Put ", package,
                 L" where the game keeps its maps or packages, then open the demo again."});
}

bool SettingsAgree(const std::wstring& path, const std::wstring& general)
{
    return SameName(path, Join({general, kGameExeSuffix}));
}

std::wstring SettingsDisagreeText(const std::wstring& path, const std::wstring& general)
{
    return Join({L"The stored path of UT2003.exe, ", path, L", is not in the stored game folder, ", general,
                 L", so Dravik does not know which game to play the demo in. Run Dravik.exe again, confirm the "
                 L"path of UT2003.exe and press READY, then open the demo again."});
}

std::wstring GameStartFailureText(unsigned long error, const std::wstring& systemText)
{
    if (error == kElevationRequired) {
        return L"UT2003.exe is set to run as administrator, so Windows does not let the loader start it (and a "
               L"game run so would not read the loader's script). Right-click UT2003.exe in the game's System "
               L"folder, choose Properties, and on the Compatibility tab untick \"Run this program as an "
               L"administrator\" (under \"Change settings for all users\" too), then open the demo again.";
    }
    return systemText;
}

}  // namespace dravik
