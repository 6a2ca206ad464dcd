// Dravik.exe under Wine, driven through its window like a user would.
#include "maker.h"
#include "test_support.h"
#include "window_probe.h"
#include "rules/twips.h"
#include "shared/game_names.h"
#include "shared/settings_record.h"
#include "win32/dpi.h"
#include "win32/failure.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>
#include <vector>

namespace dravik::test {
namespace {

constexpr DWORD kTimeoutMs = 15000;
const std::wstring kErrorTitle = std::wstring(L"Please bugreport to ") + kContactAddress;
const std::wstring kCommandKey = L"dravikfile\\Shell\\open\\command";
const std::wstring kUserChoiceKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.dem";

const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kUninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kProgramsList = kUninstall + L"\\Dravik";

void ForgetEverything()
{
    DeleteSettings();
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        for (const wchar_t* key : {L".dem", L"dravikfile", L"OtherPlayer.Demo", L"Applications\\loader.exe"}) {
            RegDeleteTreeW(root, (kClasses + key).c_str());
        }
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kUserChoiceKey.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramsList.c_str());
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kInstallRecordKey, KEY_WOW64_32KEY, 0);
}

// Where a 32-bit installer leaves its record: the 32-bit view of 64-bit
// Windows, or the only registry of 32-bit Windows, which ignores the flag.
void WriteInstallRecord(DWORD type, const std::wstring& folder, bool withNul)
{
    UniqueKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kInstallRecordKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                              nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    const DWORD bytes = static_cast<DWORD>((folder.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
    RegSetValueExW(key.get(), kInstallRecordValue, 0, type, reinterpret_cast<const BYTE*>(folder.c_str()), bytes);
}

bool WindowsIs64Bit()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool NothingStored()
{
    UniqueKey entry;
    return RegOpenKeyExW(HKEY_CURRENT_USER, kProgramsList.c_str(), 0, KEY_READ, entry.put()) != ERROR_SUCCESS &&
           !RegistryText(HKEY_CURRENT_USER, kSettingsKey, kPathValue) &&
           !RegistryText(HKEY_CURRENT_USER, kSettingsKey, kGeneralValue) &&
           !RegistryText(HKEY_CLASSES_ROOT, L".dem", L"") && !RegistryText(HKEY_CLASSES_ROOT, kCommandKey, L"");
}

class Setup : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForgetEverything();
        root_ = FreshTestFolder();
        game_ = MakeGameFolder(root_ + L"\\Game Folder");
        app_ = root_ + L"\\Dravik App";
        MakeFolders(app_);
        ASSERT_TRUE(CopyFileW(SetupPath().c_str(), (app_ + L"\\Dravik.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(LoaderPath().c_str(), (app_ + L"\\loader.exe").c_str(), FALSE));
    }
    void TearDown() override { ForgetEverything(); }

    // Starts Dravik.exe (in the given current folder) and waits for its window.
    HWND Open(const std::wstring& folder = L"")
    {
        setup_ = Start(app_ + L"\\Dravik.exe", L"", folder);
        const HWND window = probe::WaitFor(kTimeoutMs, [this]() -> HWND {
            for (const HWND window : probe::TopLevelWindows(setup_.id)) {
                if (probe::WindowText(window) == L"Dravik") {
                    return window;
                }
            }
            return nullptr;
        });
        EXPECT_NE(window, nullptr) << "the setup window did not appear";
        return window;
    }

    static HWND TextBox(HWND window)
    {
        for (const HWND child : probe::ChildWindows(window)) {
            if (probe::ClassName(child) == L"Edit") {
                return child;
            }
        }
        return nullptr;
    }

    static void Type(HWND window, const std::wstring& text)
    {
        SendMessageW(TextBox(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }

    // Presses READY and expects the window to close, READY done.
    void ReadyCloses(HWND window)
    {
        ASSERT_TRUE(probe::PressButton(window, L"READY"));
        DWORD exitCode = 1;
        ASSERT_TRUE(setup_.WaitForExit(kTimeoutMs, &exitCode)) << "the setup tool did not close after READY";
        EXPECT_EQ(exitCode, 0u);
    }

    // Presses READY and expects the error message with the window kept open.
    void ReadyFails(HWND window, const char* why, probe::MessageBoxView* shown = nullptr)
    {
        ASSERT_TRUE(probe::PressButton(window, L"READY"));
        const HWND error = probe::WaitForMessageBox(setup_.id, kTimeoutMs);
        ASSERT_NE(error, nullptr) << "no error message for " << why;
        const probe::MessageBoxView view = probe::ReadMessageBox(error);
        if (shown != nullptr) {
            *shown = view;
        }
        EXPECT_EQ(view.title, kErrorTitle);
        EXPECT_EQ(view.text.rfind(L"Error", 0), 0u);
        EXPECT_GT(view.text.size(), 5u);
        EXPECT_EQ(view.icon, probe::MessageIcon::Error) << why;
        EXPECT_EQ(view.buttons, std::vector<std::wstring>{L"OK"});
        EXPECT_TRUE(NothingStored()) << why;
        probe::PressButton(error, L"OK");
        EXPECT_TRUE(probe::WaitFor(kTimeoutMs, [error] { return !IsWindow(error); }));
        EXPECT_TRUE(IsWindow(window) && IsWindowVisible(window)) << "the window stays open after " << why;
        EXPECT_FALSE(setup_.WaitForExit(0));
    }

    void ExpectStored(const GameFolder& game)
    {
        EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kSettingsKey, kPathValue), game.exe);
        EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kSettingsKey, kGeneralValue), game.folder);
        EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L".dem", L""), L"dravikfile");
        EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L".dem\\OpenWithProgids", L"dravikfile"), L"");
        // With its index: the shell takes what follows the path's last comma as one.
        EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L"dravikfile\\DefaultIcon", L""),
                  game.folder + L"\\Help\\UnrealEd.ico,0");
        EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, kCommandKey, L""), L"\"" + app_ + L"\\loader.exe\" \"%1\"");
    }

    // Runs Dravik.exe with an argument string to its one message, presses
    // OK and expects it to end without a window of its own.
    probe::MessageBoxView RunToMessage(const std::wstring& arguments)
    {
        const Program setup = Start(app_ + L"\\Dravik.exe", arguments);
        const HWND box = probe::WaitForMessageBox(setup.id, kTimeoutMs);
        EXPECT_NE(box, nullptr) << "no message";
        if (box == nullptr) {
            return {};
        }
        const probe::MessageBoxView view = probe::ReadMessageBox(box);
        for (const HWND window : probe::TopLevelWindows(setup.id)) {
            EXPECT_EQ(probe::ClassName(window), L"#32770") << "a setup window";
        }
        probe::PressButton(box, L"OK");
        EXPECT_TRUE(setup.WaitForExit(kTimeoutMs, &lastExitCode_));
        return view;
    }

    DWORD lastExitCode_ = 0;  // of the last RunToMessage
    std::wstring root_;
    std::wstring app_;
    GameFolder game_;
    Program setup_;
};

// Wine's own client of the list of installed programs.
std::string InstalledProgramsList(const std::wstring& folder)
{
    const std::wstring list = folder + L"\\programs.txt";
    const Program cmd = Start(L"C:\\windows\\system32\\cmd.exe", L"/c uninstaller --list > \"" + list + L"\"");
    EXPECT_TRUE(cmd.WaitForExit(kTimeoutMs));
    return ReadBytes(list).value_or("");
}

// A key whose security refuses every change of its values and subkeys, as
// every user's keys do for a standard user, or allows them again.
void RefuseChanges(HKEY root, const std::wstring& key, bool refuse)
{
    SetKeyAccess(root, key, refuse ? L"D:(D;;KW;;;WD)(A;;KA;;;WD)" : L"D:(A;;KA;;;WD)");
}

// Another program that owned .dem for every user before Dravik.
void PlantOtherOwner(const std::wstring& folder)
{
    MakeFolders(folder + L"\\Other");
    const std::wstring player = folder + L"\\Other\\player.exe";
    ASSERT_TRUE(CopyFileW(StandInPath().c_str(), player.c_str(), FALSE));
    SetText(HKEY_LOCAL_MACHINE, kClasses + L".dem", L"", L"OtherPlayer.Demo");
    SetText(HKEY_LOCAL_MACHINE, kClasses + L"OtherPlayer.Demo\\shell\\open\\command", L"",
            L"\"" + player + L"\" \"%1\"");
}

std::wstring FriendlyAppName(const wchar_t* type)
{
    wchar_t name[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    return SUCCEEDED(AssocQueryStringW(0, ASSOCSTR_FRIENDLYAPPNAME, type, L"open", name, &size)) ? name : L"";
}

// Windows names the program the user chose in its newer or older key; a
// choice of loader.exe itself, made by browsing to it, is Dravik's own; a
// choice of a type that is not registered opens nothing. The name to pick
// is the one Windows lists, which the read-mes give.
TEST_F(Setup, TellsWhenTheUsersOwnChoiceOfProgramWillKeepOpeningDemos)
{
    struct Case {
        const wchar_t* key;
        const wchar_t* chosen;
        const wchar_t* says;  // no message where null
    };
    const Case cases[] = {
        {L"UserChoice", L"", nullptr},
        {L"UserChoice", L"DravikFile", nullptr},
        {L"UserChoice", L"Applications\\loader.exe", nullptr},
        {L"UserChoice", L"OtherPlayer.Demo", L"will keep opening .dem files with the program you chose for them before (player"},
        {L"UserChoiceLatest", L"OtherPlayer.Demo", L"will keep opening .dem files with the program you chose for them before (player"},
        {L"UserChoice", L"Gone.Demo", L"a file type that is not registered (Gone.Demo), which opens nothing"},
    };
    for (const Case& c : cases) {
        ForgetEverything();
        PlantOtherOwner(root_);
        SetText(HKEY_LOCAL_MACHINE, kClasses + L"Applications\\loader.exe\\shell\\open\\command", L"",
                L"\"" + app_ + L"\\loader.exe\" \"%1\"");
        if (*c.chosen != L'\0') {
            SetText(HKEY_CURRENT_USER, kUserChoiceKey + L"\\" + c.key, L"ProgId", c.chosen);
        }
        SCOPED_TRACE(Narrow(c.key) + " " + Narrow(c.chosen));
        const HWND window = Open();
        ASSERT_NE(window, nullptr);
        Type(window, game_.exe);
        ASSERT_TRUE(probe::PressButton(window, L"READY"));
        const HWND box = probe::WaitForMessageBox(setup_.id, c.says != nullptr ? kTimeoutMs : 1000);
        ASSERT_EQ(box != nullptr, c.says != nullptr);
        if (box != nullptr) {
            const probe::MessageBoxView view = probe::ReadMessageBox(box);
            EXPECT_NE(view.text.find(c.says), std::wstring::npos) << Narrow(view.text);
            EXPECT_EQ(view.text.find(L"keep opening") == std::wstring::npos, c.chosen == std::wstring(L"Gone.Demo"));
            EXPECT_NE(view.text.find(L"pick \"Dravik demo loader\", tick"), std::wstring::npos) << Narrow(view.text);
            EXPECT_EQ(view.icon, probe::MessageIcon::Information);
            probe::PressButton(box, L"OK");
        }
        ASSERT_TRUE(setup_.WaitForExit(kTimeoutMs));
        EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, kCommandKey, L""), L"\"" + app_ + L"\\loader.exe\" \"%1\"");
    }
    EXPECT_EQ(FriendlyAppName(L"dravikfile"), L"Dravik demo loader");
}

TEST_F(Setup, UninstallRemovesWhatItWroteAndKeepsAnotherProgramsAssociation)
{
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    Type(window, game_.exe);
    ReadyCloses(window);
    // The per-user place too, as where HKEY_CLASSES_ROOT was refused.
    SetText(HKEY_CURRENT_USER, L"Software\\Classes\\.dem", L"", L"dravikfile");
    SetText(HKEY_CURRENT_USER, L"Software\\Classes\\dravikfile\\DefaultIcon", L"", L"x.ico");

    probe::MessageBoxView view = RunToMessage(L"/uninstall");
    EXPECT_EQ(view.title, L"Dravik") << Narrow(view.text);
    EXPECT_EQ(view.icon, probe::MessageIcon::Information);
    EXPECT_EQ(lastExitCode_, 0u);
    for (const wchar_t* line : {L"UT2003.exe", L"opens .dem", L"Open with", L"dravikfile"}) {
        EXPECT_NE(view.text.find(line), std::wstring::npos) << Narrow(line);
    }
    EXPECT_TRUE(NothingStored());
    for (const HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER}) {
        const std::wstring classes = root == HKEY_CLASSES_ROOT ? L"" : L"Software\\Classes\\";
        for (const std::wstring key : {L".dem", L"dravikfile"}) {
            UniqueKey left;
            EXPECT_NE(RegOpenKeyExW(root, (classes + key).c_str(), 0, KEY_READ, left.put()), ERROR_SUCCESS)
                << Narrow(classes + key) << " is left";
        }
    }
    UniqueKey settings;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Dravik", 0, KEY_READ, settings.put()), ERROR_SUCCESS);

    view = RunToMessage(L"-UNINSTALL");
    EXPECT_NE(view.text.find(L"nothing"), std::wstring::npos) << "a second time";

    // Another program owns .dem and has its own "Open with" entry.
    SetText(HKEY_CLASSES_ROOT, L".dem", L"", L"DemViewer.Document");
    SetText(HKEY_CLASSES_ROOT, L".dem\\OpenWithProgids", L"DemViewer.Document", L"");
    SetText(HKEY_CLASSES_ROOT, L".dem\\OpenWithProgids", L"dravikfile", L"");
    RunToMessage(L"/uninstall");
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L".dem", L""), L"DemViewer.Document");
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L".dem\\OpenWithProgids", L"DemViewer.Document"), L"");
    EXPECT_FALSE(RegistryText(HKEY_CLASSES_ROOT, L".dem\\OpenWithProgids", L"dravikfile"));
}

// Every user's classes and this user's, where this user's already held .dem:
// both name dravikfile after READY, and removing Dravik through Windows' list
// of installed programs gives .dem back to the program that had it.
TEST_F(Setup, RegistersInBothClassesKeysAndGivesDemosBackWhenRemoved)
{
    PlantOtherOwner(root_);
    SetText(HKEY_CURRENT_USER, kClasses + L".dem\\OpenWithProgids", L"Notes.Document", L"");
    for (int run = 0; run < 2; ++run) {
        const HWND window = Open();
        ASSERT_NE(window, nullptr);
        Type(window, game_.exe);
        ReadyCloses(window);
    }
    const std::wstring command = L"\"" + app_ + L"\\loader.exe\" \"%1\"";
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_EQ(RegistryText(root, kClasses + L".dem", L""), L"dravikfile");
        EXPECT_EQ(RegistryText(root, kClasses + L".dem\\OpenWithProgids", L"dravikfile"), L"");
        EXPECT_EQ(RegistryText(root, kClasses + kCommandKey, L""), command);
    }
    // The earlier owner stays in "Open with", in this user's key too, where
    // the registration hides every user's owner.
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_EQ(RegistryText(root, kClasses + L".dem\\OpenWithProgids", L"OtherPlayer.Demo"), L"");
    }
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kProgramsList, L"UninstallString"),
              L"\"" + app_ + L"\\Dravik.exe\" /uninstall");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kProgramsList, L"InstallLocation"), app_);
    EXPECT_NE(InstalledProgramsList(root_).find("|||Dravik"), std::string::npos);

    const Program uninstaller = Start(L"C:\\windows\\system32\\uninstaller.exe", L"--remove Dravik");
    const HWND box = probe::WaitForMessageBox(0, kTimeoutMs);
    ASSERT_NE(box, nullptr) << "Dravik.exe /uninstall did not run";
    const probe::MessageBoxView view = probe::ReadMessageBox(box);
    EXPECT_NE(view.text.find(L"open with player again"), std::wstring::npos) << Narrow(view.text);
    probe::PressButton(box, L"OK");
    EXPECT_TRUE(uninstaller.WaitForExit(kTimeoutMs));

    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, kClasses + L".dem", L""), L"OtherPlayer.Demo");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kClasses + L".dem\\OpenWithProgids", L"Notes.Document"), L"");
    // What READY added goes, what it found stays.
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_FALSE(RegistryText(root, kClasses + L".dem\\OpenWithProgids", L"OtherPlayer.Demo"));
        EXPECT_FALSE(RegistryText(root, kClasses + L".dem\\OpenWithProgids", L"dravikfile"));
        EXPECT_FALSE(RegistryText(root, kClasses + L"dravikfile\\DefaultIcon", L""));
    }
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kClasses + L".dem", L""));
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kSettingsKey, kPathValue));
    EXPECT_EQ(InstalledProgramsList(root_).find("Dravik"), std::string::npos);
}

// A refused READY takes back what it wrote; a refused removal keeps what it
// could not remove findable, says so, and a later run removes it.
TEST_F(Setup, RefusalsLeaveNothingHalfDone)
{
    PlantOtherOwner(root_);
    // Windows refuses a lasting key below a volatile one: a failure that no
    // want of rights explains, which READY shows rather than registering
    // for this user alone.
    UniqueKey shell;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kClasses + L"dravikfile\\Shell").c_str(), 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_READ, nullptr, shell.put(), nullptr),
              ERROR_SUCCESS);
    shell.reset();
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    Type(window, game_.exe);
    ASSERT_TRUE(probe::PressButton(window, L"READY"));
    const HWND error = probe::WaitForMessageBox(setup_.id, kTimeoutMs);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(probe::ReadMessageBox(error).title, kErrorTitle);
    probe::PressButton(error, L"OK");
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup_.WaitForExit(kTimeoutMs));
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, kClasses + L".dem", L""), L"OtherPlayer.Demo");
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_FALSE(RegistryText(root, kClasses + L".dem\\OpenWithProgids", L"dravikfile"));
        EXPECT_FALSE(RegistryText(root, kClasses + L"dravikfile\\DefaultIcon", L""));
        EXPECT_FALSE(RegistryText(root, kClasses + L"dravikfile", L"ReplacedDemoType"));
        RegDeleteTreeW(root, (kClasses + L"dravikfile").c_str());
    }
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kClasses + L".dem", L""));
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kSettingsKey, kPathValue));
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kProgramsList, L"DisplayName"));

    window = Open();
    ASSERT_NE(window, nullptr);
    Type(window, game_.exe);
    ReadyCloses(window);
    // As for a standard user: every user's .dem may not be changed.
    RefuseChanges(HKEY_LOCAL_MACHINE, kClasses + L".dem", true);
    const probe::MessageBoxView refused = RunToMessage(L"/uninstall");
    RefuseChanges(HKEY_LOCAL_MACHINE, kClasses + L".dem", false);
    EXPECT_EQ(refused.title, kErrorTitle);
    EXPECT_NE(refused.text.find(L"administrator"), std::wstring::npos) << Narrow(refused.text);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, kClasses + L".dem", L""), L"dravikfile");
    EXPECT_TRUE(RegistryText(HKEY_LOCAL_MACHINE, kClasses + kCommandKey, L""));
    EXPECT_TRUE(RegistryText(HKEY_CURRENT_USER, kSettingsKey, kPathValue));
    EXPECT_TRUE(RegistryText(HKEY_CURRENT_USER, kProgramsList, L"DisplayName"));

    const probe::MessageBoxView removed = RunToMessage(L"/uninstall");
    EXPECT_EQ(removed.title, L"Dravik") << Narrow(removed.text);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, kClasses + L".dem", L""), L"OtherPlayer.Demo");
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_FALSE(RegistryText(root, kClasses + kCommandKey, L""));
    }
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kSettingsKey, kPathValue));
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kProgramsList, L"DisplayName"));
}

// Every user's classes refuse changes for as long as it lives, as they do
// for a standard user.
class EveryUsersClassesRefused {
public:
    EveryUsersClassesRefused()
    {
        for (const std::wstring& key : kKeys) {
            RefuseChanges(HKEY_LOCAL_MACHINE, key, true);
        }
    }
    ~EveryUsersClassesRefused()
    {
        for (const std::wstring& key : kKeys) {
            RefuseChanges(HKEY_LOCAL_MACHINE, key, false);
        }
    }
    EveryUsersClassesRefused(const EveryUsersClassesRefused&) = delete;
    EveryUsersClassesRefused& operator=(const EveryUsersClassesRefused&) = delete;

private:
    const std::wstring kKeys[3] = {L"Software\\Classes", kClasses + L".dem", kClasses + L".dem\\OpenWithProgids"};
};

// A standard user whose .dem belongs to another program for every user,
// which also has an "Open with" entry there that the user cannot change.
TEST_F(Setup, AStandardUsersRegistrationKeepsEveryUsersOwnerAndIsRemovedWhole)
{
    PlantOtherOwner(root_);
    SetText(HKEY_LOCAL_MACHINE, kClasses + L".dem\\OpenWithProgids", L"OtherPlayer.Demo", L"");
    const EveryUsersClassesRefused standardUser;

    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    Type(window, game_.exe);
    ReadyCloses(window);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, kClasses + L".dem", L""), L"OtherPlayer.Demo");
    EXPECT_FALSE(RegistryText(HKEY_LOCAL_MACHINE, kClasses + kCommandKey, L""));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kClasses + L".dem", L""), L"dravikfile");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kClasses + kCommandKey, L""), L"\"" + app_ + L"\\loader.exe\" \"%1\"");
    // The program that opened demos for this user before stays in their
    // "Open with" list, where this registration hides every user's.
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kClasses + L".dem\\OpenWithProgids", L"OtherPlayer.Demo"), L"");

    // Every user's keys hold nothing of Dravik's: nothing there is refused.
    const probe::MessageBoxView view = RunToMessage(L"/uninstall");
    EXPECT_EQ(view.title, L"Dravik") << Narrow(view.text);
    EXPECT_EQ(view.icon, probe::MessageIcon::Information);
    EXPECT_NE(view.text.find(L"open with player again"), std::wstring::npos) << Narrow(view.text);
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kSettingsKey, kPathValue));
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kProgramsList, L"DisplayName"));
    // Nothing of this user's is left, nor a value that would pin every
    // user's owner for this user.
    for (const wchar_t* key : {L".dem", L"dravikfile"}) {
        UniqueKey left;
        EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, (kClasses + key).c_str(), 0, KEY_READ, left.put()), ERROR_SUCCESS)
            << Narrow(key) << " is left";
    }
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, kClasses + L".dem\\OpenWithProgids", L"OtherPlayer.Demo"), L"");
}

// The text of a message between a heading and the next blank line.
std::wstring Section(const std::wstring& text, const std::wstring& heading)
{
    const std::size_t start = text.find(heading);
    return start == std::wstring::npos ? L"" : text.substr(start, text.find(L"\n\n", start) - start);
}

// Every refusal, of READY or of /uninstall, in every place they write: the
// message names the key and Windows' reason, lists what was removed apart
// from what is left, and says what to do; a later run removes the rest.
TEST_F(Setup, EveryRefusalSaysWhereWhatIsLeftAndWhatToDo)
{
    constexpr wchar_t kNoChanges[] = L"D:(D;;KW;;;WD)(A;;KA;;;WD)";
    // Not listing its subkeys, so not deleting it: Wine deletes a key
    // whatever else its rules say.
    constexpr wchar_t kNoListing[] = L"D:(D;;0x8;;;WD)(A;;KA;;;WD)";
    const std::wstring user = L"HKEY_CURRENT_USER\\";
    const std::wstring rights = L"Windows does not let your account change that key. Ask whoever manages";
    struct Case {
        const char* name;
        bool ready;         // refused at READY, else at /uninstall after a READY
        bool standardUser;  // every user's classes refuse changes throughout
        HKEY root;
        std::wstring key;      // refuses by sddl; a volatile key where it is null
        const wchar_t* sddl;
        std::wstring refused;  // as the message names it
        LONG status;
        std::wstring toDo;
        std::vector<const wchar_t*> removed;
        std::vector<const wchar_t*> left;
    };
    const std::vector<Case> cases = {
        {"READY, the settings", true, false, HKEY_CURRENT_USER, kSettingsParentKey, kNoChanges,
         user + kSettingsKey, ERROR_ACCESS_DENIED, rights, {}, {}},
        {"READY, the programs list", true, false, HKEY_CURRENT_USER, kUninstall, kNoChanges, user + kProgramsList,
         ERROR_ACCESS_DENIED, rights, {}, {}},
        {"READY, this user's classes", true, true, HKEY_CURRENT_USER, kClasses + L"dravikfile", kNoChanges,
         user + kClasses + L"dravikfile\\DefaultIcon", ERROR_ACCESS_DENIED, rights, {}, {}},
        {"READY, every user's classes", true, false, HKEY_LOCAL_MACHINE, kClasses + L"dravikfile\\Shell", nullptr,
         L"HKEY_LOCAL_MACHINE\\" + kClasses + L"dravikfile\\DefaultIcon", ERROR_CHILD_MUST_BE_VOLATILE,
         L"not about rights", {}, {}},
        {"/uninstall, every user's classes", false, false, HKEY_LOCAL_MACHINE, kClasses + L".dem", kNoChanges,
         L"HKEY_LOCAL_MACHINE\\" + kClasses + L".dem", ERROR_ACCESS_DENIED, L"as an administrator",
         {L"from the \"Open with\" list of .dem files (for every user)"},
         {L"opens .dem files (for every user)", L"dravikfile (for every user)",
          L"installed programs (kept until the rest can be removed)", L"UT2003.exe (kept until the rest can be removed)"}},
        {"/uninstall, this user's classes", false, true, HKEY_CURRENT_USER, kClasses + L".dem", kNoChanges,
         user + kClasses + L".dem", ERROR_ACCESS_DENIED, rights,
         {L"from the \"Open with\" list of .dem files (for this Windows account)"},
         {L"opens .dem files (for this Windows account)", L"dravikfile (for this Windows account)",
          L"installed programs (kept", L"UT2003.exe (kept"}},
        {"/uninstall, the programs list", false, false, HKEY_CURRENT_USER, kProgramsList, kNoListing,
         user + kProgramsList, ERROR_ACCESS_DENIED, rights, {L"opens .dem files", L"Open with", L"dravikfile"},
         {L"installed programs\n", L"UT2003.exe (kept"}},
        {"/uninstall, the settings", false, false, HKEY_CURRENT_USER, kSettingsParentKey, kNoListing,
         user + kSettingsParentKey, ERROR_ACCESS_DENIED, rights,
         {L"opens .dem files", L"dravikfile", L"installed programs"}, {L"the stored path of UT2003.exe\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ForgetEverything();
        std::optional<EveryUsersClassesRefused> standardUser;
        if (c.standardUser) {
            SetText(HKEY_LOCAL_MACHINE, kClasses + L".dem\\OpenWithProgids", L"OtherPlayer.Demo", L"");
            standardUser.emplace();
        }
        HWND window = Open();
        ASSERT_NE(window, nullptr);
        Type(window, game_.exe);
        if (!c.ready) {
            ReadyCloses(window);
        }
        UniqueKey key;
        ASSERT_EQ(RegCreateKeyExW(c.root, c.key.c_str(), 0, nullptr,
                                  c.sddl != nullptr ? REG_OPTION_NON_VOLATILE : REG_OPTION_VOLATILE, KEY_READ, nullptr,
                                  key.put(), nullptr),
                  ERROR_SUCCESS);
        key.reset();
        if (c.sddl != nullptr) {
            SetKeyAccess(c.root, c.key, c.sddl);
        }
        probe::MessageBoxView view;
        if (c.ready) {
            ReadyFails(window, c.name, &view);
            PostMessageW(window, WM_CLOSE, 0, 0);
            DWORD exitCode = 0;
            EXPECT_TRUE(setup_.WaitForExit(kTimeoutMs, &exitCode));
            EXPECT_EQ(exitCode, 1u) << "closed after a READY that Windows refused";
        } else {
            view = RunToMessage(L"/uninstall");
            EXPECT_EQ(lastExitCode_, 1u) << "an /uninstall that Windows refused";
        }
        if (c.sddl != nullptr) {
            SetKeyAccess(c.root, c.key, L"D:(A;;KA;;;WD)");
        }
        const std::wstring& text = view.text;
        EXPECT_EQ(view.title, kErrorTitle);
        EXPECT_NE(text.find(c.refused + L": " + SystemErrorText(static_cast<DWORD>(c.status)) + L"\n"),
                  std::wstring::npos)
            << Narrow(text);
        EXPECT_NE(text.find(c.toDo), std::wstring::npos) << Narrow(text);
        EXPECT_EQ(std::count(text.begin(), text.end(), L'"') % 2, 0) << Narrow(text);
        EXPECT_EQ(text.find(L'%'), std::wstring::npos) << Narrow(text);
        const std::wstring removed = Section(text, L"Removed so far:");
        const std::wstring left = Section(text, L"Still there:");
        for (const wchar_t* line : c.removed) {
            EXPECT_NE(removed.find(line), std::wstring::npos) << Narrow(line) << " in " << Narrow(text);
            EXPECT_EQ(left.find(line), std::wstring::npos) << Narrow(line) << " in " << Narrow(text);
        }
        for (const wchar_t* line : c.left) {
            EXPECT_NE((left + L"\n").find(line), std::wstring::npos) << Narrow(line) << " in " << Narrow(text);
            EXPECT_EQ(removed.find(line), std::wstring::npos) << Narrow(line) << " in " << Narrow(text);
        }
        if (c.ready) {
            EXPECT_NE(text.find(L"everything is as it was before READY"), std::wstring::npos) << Narrow(text);
        } else {
            standardUser.reset();
            EXPECT_EQ(RunToMessage(L"/uninstall").title, L"Dravik") << "the rest, once allowed";
            EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kProgramsList, L"DisplayName"));
        }
    }
}

// /uninstall takes out the "Open with" entries that READY added for the
// programs that had .dem before, over several READYs, and the list of
// installed programs that READY made for this user, once it holds nothing
// else; never what was there before.
TEST_F(Setup, UninstallTakesOutWhatReadyAddedAndOnlyThat)
{
    const std::wstring openWith = kClasses + L".dem\\OpenWithProgids";
    const std::wstring otherEntry = kUninstall + L"\\Other Game";
    struct Case {
        bool listThere;                    // with another program's entry
        std::vector<const wchar_t*> owners;  // .dem's type before each READY
    };
    const Case cases[] = {
        {false, {L"OtherPlayer.Demo", L"Gone.Demo", L"OtherPlayer.Demo"}},
        {true, {L"OtherPlayer.Demo"}},
    };
    for (const Case& c : cases) {
        ForgetEverything();
        RegDeleteKeyW(HKEY_CURRENT_USER, kUninstall.c_str());
        if (c.listThere) {
            SetText(HKEY_CURRENT_USER, otherEntry, L"DisplayName", L"Other Game");
        }
        ASSERT_EQ(RegistryText(HKEY_CURRENT_USER, otherEntry, L"DisplayName").has_value(), c.listThere);
        PlantOtherOwner(root_);
        SetText(HKEY_LOCAL_MACHINE, openWith, L"Notes.Document", L"");
        for (const wchar_t* owner : c.owners) {
            SetText(HKEY_LOCAL_MACHINE, kClasses + L".dem", L"", owner);
            // Gone since the last READY, as its program took it out.
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, openWith.c_str(), L"OtherPlayer.Demo");
            const HWND window = Open();
            ASSERT_NE(window, nullptr);
            Type(window, game_.exe);
            ReadyCloses(window);
        }
        EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, openWith, L"OtherPlayer.Demo"), L"");
        EXPECT_FALSE(RegistryText(HKEY_LOCAL_MACHINE, openWith, L"Gone.Demo")) << "a type that is not registered";
        const wchar_t recorded[] = L"OtherPlayer.Demo\0";  // once
        wchar_t record[64] = {};
        DWORD size = sizeof record;
        EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, (kClasses + L"dravikfile").c_str(), L"AddedOpenWith", RRF_RT_REG_MULTI_SZ,
                               nullptr, record, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(std::wstring(record, size / sizeof(wchar_t)), std::wstring(recorded, std::size(recorded)));

        EXPECT_EQ(RunToMessage(L"/uninstall").title, L"Dravik");
        EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, kClasses + L".dem", L""), L"OtherPlayer.Demo");
        EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, openWith, L"Notes.Document"), L"");
        EXPECT_FALSE(RegistryText(HKEY_LOCAL_MACHINE, openWith, L"OtherPlayer.Demo"));
        UniqueKey list;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kUninstall.c_str(), 0, KEY_READ, list.put()) == ERROR_SUCCESS,
                  c.listThere);
        RegDeleteTreeW(HKEY_CURRENT_USER, otherEntry.c_str());
    }
}

// A refused READY deletes only the keys that Windows says it made: not a
// key it found, even one it could not read.
TEST_F(Setup, ARefusedReadyTakesBackOnlyTheKeysItMade)
{
    const std::wstring print = kClasses + L"dravikfile\\shell\\print\\command";
    SetText(HKEY_LOCAL_MACHINE, print, L"", L"printer.exe \"%1\"");
    SetKeyAccess(HKEY_LOCAL_MACHINE, kClasses + L"dravikfile", L"D:(D;;0x1;;;WD)(A;;KA;;;WD)");  // no reading
    // The list of installed programs refuses Dravik's entry, READY's last step.
    SetText(HKEY_CURRENT_USER, kProgramsList, L"DisplayName", L"an earlier Dravik");
    RefuseChanges(HKEY_CURRENT_USER, kProgramsList, true);

    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    Type(window, game_.exe);
    ASSERT_TRUE(probe::PressButton(window, L"READY"));
    const HWND error = probe::WaitForMessageBox(setup_.id, kTimeoutMs);
    ASSERT_NE(error, nullptr) << "READY was not refused";
    EXPECT_EQ(probe::ReadMessageBox(error).title, kErrorTitle);
    probe::PressButton(error, L"OK");
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup_.WaitForExit(kTimeoutMs));
    RefuseChanges(HKEY_CURRENT_USER, kProgramsList, false);
    SetKeyAccess(HKEY_LOCAL_MACHINE, kClasses + L"dravikfile", L"D:(A;;KA;;;WD)");

    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, print, L""), L"printer.exe \"%1\"");
    EXPECT_FALSE(RegistryText(HKEY_LOCAL_MACHINE, kClasses + L"dravikfile\\DefaultIcon", L""));
    EXPECT_FALSE(RegistryText(HKEY_LOCAL_MACHINE, kClasses + kCommandKey, L""));
    EXPECT_FALSE(RegistryText(HKEY_LOCAL_MACHINE, kClasses + L".dem", L""));
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kSettingsKey, kPathValue));
}

// The shell would read %2, %7 or %\ in the open command as placeholders.
TEST_F(Setup, RefusesAFolderWhosePathHoldsAPercentSign)
{
    for (const wchar_t* name : {L"Dravik%20v1", L"100%", L"%7E"}) {
        app_ = root_ + L"\\" + name;
        MakeFolders(app_);
        ASSERT_TRUE(CopyFileW(SetupPath().c_str(), (app_ + L"\\Dravik.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(LoaderPath().c_str(), (app_ + L"\\loader.exe").c_str(), FALSE));
        const HWND window = Open();
        ASSERT_NE(window, nullptr);
        Type(window, game_.exe);
        ReadyFails(window, Narrow(name).c_str());
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(setup_.WaitForExit(kTimeoutMs));
    }
}

TEST_F(Setup, RefusesAnUnknownArgumentAndChangesNothing)
{
    WriteSettings(game_.exe, game_.folder);
    const probe::MessageBoxView view = RunToMessage(L"/remove");
    EXPECT_EQ(view.title, kErrorTitle);
    EXPECT_EQ(view.text.rfind(L"Error", 0), 0u);
    EXPECT_NE(view.text.find(L"/remove"), std::wstring::npos);
    EXPECT_EQ(view.icon, probe::MessageIcon::Error);
    EXPECT_EQ(lastExitCode_, 2u);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kSettingsKey, kPathValue), game_.exe);
}

TEST_F(Setup, AcceptsUninstallInQuotes)
{
    WriteSettings(game_.exe, game_.folder);
    const probe::MessageBoxView view = RunToMessage(L"\"/uninstall\"");
    EXPECT_EQ(view.title, L"Dravik") << Narrow(view.text);
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kSettingsKey, kPathValue));
}

// Every later demo runs the game from the loader, in another folder.
TEST_F(Setup, StoresARelativePathMadeAbsoluteAgainstItsCurrentFolder)
{
    struct Case {
        std::wstring typed;
        std::wstring folder;  // Dravik.exe's current folder
    };
    const std::vector<Case> cases = {
        {L".\\System\\UT2003.exe", game_.folder},
        {L"..\\Game Folder\\System\\UT2003.exe", app_},
        {L"C:Game Folder\\System\\UT2003.exe", root_},
    };
    for (const Case& c : cases) {
        ForgetEverything();
        const HWND window = Open(c.folder);
        ASSERT_NE(window, nullptr);
        Type(window, c.typed);
        ReadyCloses(window);
        ExpectStored(game_);
    }
}

TEST_F(Setup, ProposesTheGameFromItsInstallRecordAndStoresNothingWhenClosed)
{
    const std::wstring folder = L"D:\\Games\\UT2003";
    struct Case {
        const char* name;
        DWORD type;  // 0: no install record
        bool withNul;
        std::wstring proposed;
    };
    const std::vector<Case> cases = {
        {"no record", 0, true, L"\\System\\UT2003.exe"},
        {"record", REG_SZ, true, folder + L"\\System\\UT2003.exe"},
        {"expandable record", REG_EXPAND_SZ, true, L"\\System\\UT2003.exe"},
        {"record without its NUL", REG_SZ, false, folder + L"\\System\\UT2003.exe"},
    };
    for (const Case& c : cases) {
        ForgetEverything();
        if (c.type != 0) {
            WriteInstallRecord(c.type, folder, c.withNul);
        }
        const HWND window = Open();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(probe::WindowText(TextBox(window)), c.proposed) << c.name;

        RECT client;
        GetClientRect(window, &client);
        const int dpi = static_cast<int>(WindowDpi(window));
        EXPECT_EQ(client.right, TwipsToPixels(8160, dpi));
        EXPECT_EQ(client.bottom, TwipsToPixels(2070, dpi));

        PostMessageW(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        EXPECT_TRUE(setup_.WaitForExit(kTimeoutMs, &exitCode)) << "closing the window ends the setup tool";
        EXPECT_EQ(exitCode, 3u) << "closed without READY";
        EXPECT_TRUE(NothingStored()) << c.name;
    }
}

TEST_F(Setup, ReadyStoresTheRecordAndRegistersDemosAndAgainOverwrites)
{
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    Type(window, game_.exe);
    // Enter in the text box presses READY, the default button.
    PostMessageW(TextBox(window), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(TextBox(window), WM_KEYUP, VK_RETURN, 0);
    ASSERT_TRUE(setup_.WaitForExit(kTimeoutMs)) << "Enter did not press READY";
    ExpectStored(game_);

    // A second run, with a path pasted by "Copy as path": quotes and blanks,
    // and a game folder with a comma.
    const GameFolder other = MakeGameFolder(root_ + L"\\Other, Game");
    window = Open();
    ASSERT_NE(window, nullptr);
    Type(window, L"  \"" + other.exe + L"\" ");
    ReadyCloses(window);
    ExpectStored(other);
}

TEST_F(Setup, RejectsPathsThatNameNoGameAndLetsTheUserCorrectThem)
{
    struct Case {
        const char* name;
        std::wstring typed;
    };
    const std::vector<Case> cases = {
        {"another file name", game_.system + L"\\UT2004.exe"},
        {"the bare suffix", L"\\System\\UT2003.exe"},
        {"a missing file", root_ + L"\\Nowhere\\System\\UT2003.exe"},
        {"an empty box", L""},
    };
    WriteBytes(game_.system + L"\\UT2004.exe", "not the game");
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    for (const Case& c : cases) {
        Type(window, c.typed);
        ReadyFails(window, c.name);
    }
    Type(window, game_.exe);
    ReadyCloses(window);
    ExpectStored(game_);
}

TEST_F(Setup, RefusesToRegisterALoaderThatIsNotBesideIt)
{
    DeleteFileW((app_ + L"\\loader.exe").c_str());
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    Type(window, game_.exe);
    ReadyFails(window, "no loader.exe beside Dravik.exe");

    ASSERT_TRUE(CopyFileW(LoaderPath().c_str(), (app_ + L"\\loader.exe").c_str(), FALSE));
    ReadyCloses(window);
    ExpectStored(game_);
}

TEST_F(Setup, KeepsEveryControlAtItsTwipsPositionAt144Dpi)
{
    BecomeDpiAware();
    SetScreenDpi(144);
    const HWND window = Open();
    SetScreenDpi(96);
    ASSERT_NE(window, nullptr);

    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 816);
    EXPECT_EQ(client.bottom, 207);

    // Left, top, width and height in twips, relative to the client area.
    struct Expected {
        const wchar_t* text;
        RECT twips;
    };
    const Expected controls[] = {
        {L"If textfield below", {120, 0, 7935, 1455}},
        {L"READY", {360, 840, 7575, 375}},
        // Ends where the home page starts; the labels' widths follow their
        // text (see below).
        {kContactAddress, {6000, 1560, 2055, 240}},
    };
    std::vector<std::pair<HWND, RECT>> found;
    for (const HWND child : probe::ChildWindows(window)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        found.push_back({child, rect});
    }
    const auto at144 = [](const RECT& twips) {
        return RECT{TwipsToPixels(twips.left, 144), TwipsToPixels(twips.top, 144),
                    TwipsToPixels(twips.left, 144) + TwipsToPixels(twips.right, 144),
                    TwipsToPixels(twips.top, 144) + TwipsToPixels(twips.bottom, 144)};
    };
    for (const Expected& control : controls) {
        bool seen = false;
        for (const auto& [child, rect] : found) {
            if (probe::WindowText(child).rfind(control.text, 0) == 0) {
                seen = true;
                const RECT want = at144(control.twips);
                EXPECT_EQ(rect.left, want.left) << probe::WindowText(child).size();
                EXPECT_EQ(rect.top, want.top);
                EXPECT_EQ(rect.right, want.right);
                EXPECT_EQ(rect.bottom, want.bottom);
            }
        }
        EXPECT_TRUE(seen);
    }
    const RECT box = at144({360, 360, 7575, 330});
    const HWND textBox = TextBox(window);
    for (const auto& [child, rect] : found) {
        if (child == textBox) {
            EXPECT_EQ(rect.left, box.left);
            EXPECT_EQ(rect.top, box.top);
            EXPECT_EQ(rect.right, box.right);
            EXPECT_EQ(rect.bottom, box.bottom);
        }
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(setup_.WaitForExit(kTimeoutMs));
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void PressKey(HWND target, UINT message, WPARAM key, LPARAM flags = 0)
{
    PostMessageW(target, message, key, flags | 1);
    PostMessageW(target, message + 1, key, flags | 0xC0000001);  // ...KEYUP
}

// Every label shows its whole text inside the client area without running
// into another's, also with a long address and home page from the maker.
TEST_F(Setup, ShowsEveryLabelWholeAt96And144Dpi)
{
    BecomeDpiAware();
    for (const bool longLabels : {false, true}) {
        if (longLabels) {
            ASSERT_TRUE(CopyFileW(LongLabelsSetupPath().c_str(), (app_ + L"\\Dravik.exe").c_str(), FALSE));
        }
        for (const int dpi : {96, 144}) {
            SCOPED_TRACE(std::to_string(dpi) + " dpi" + (longLabels ? ", long labels" : ""));
            SetScreenDpi(static_cast<DWORD>(dpi));
            const HWND window = Open();
            SetScreenDpi(96);
            ASSERT_NE(window, nullptr);
            RECT client;
            GetClientRect(window, &client);

            // The labels' font, made as the window makes it.
            const UniqueFont font(CreateFontW(-MulDiv(825, dpi, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                              RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                              DEFAULT_QUALITY, DEFAULT_PITCH, L"Lucida Sans Unicode"));
            const HDC dc = GetDC(nullptr);
            const HGDIOBJ oldFont = SelectObject(dc, font.get());
            std::vector<RECT> texts;
            for (const HWND child : probe::ChildWindows(window)) {
                if (lstrcmpiW(probe::ClassName(child).c_str(), L"Static") != 0) {
                    continue;
                }
                const std::wstring text = probe::WindowText(child);
                SIZE size = {};
                GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
                RECT rect;
                GetWindowRect(child, &rect);
                MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
                EXPECT_LE(size.cx, rect.right - rect.left) << Narrow(text);
                EXPECT_LE(size.cy, rect.bottom - rect.top) << Narrow(text);
                EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                            rect.bottom <= client.bottom)
                    << Narrow(text) << " lies outside the client area";
                texts.push_back({rect.left, rect.top, rect.left + size.cx, rect.top + size.cy});
            }
            SelectObject(dc, oldFont);
            ReleaseDC(nullptr, dc);
            EXPECT_EQ(texts.size(), 3u);
            for (std::size_t i = 0; i < texts.size(); ++i) {
                for (std::size_t j = i + 1; j < texts.size(); ++j) {
                    RECT overlap;
                    EXPECT_FALSE(IntersectRect(&overlap, &texts[i], &texts[j])) << "labels " << i << " and " << j;
                }
            }
            PostMessageW(window, WM_CLOSE, 0, 0);
            EXPECT_TRUE(setup_.WaitForExit(kTimeoutMs));
        }
    }
}

// The columns that hold ink (a pixel nearer black than white) in 32-bit
// pixels, rows of the given width.
struct Ink {
    int left = -1;
    int right = -1;
    int Width() const { return left < 0 ? 0 : right - left + 1; }
};

Ink InkOf(const std::vector<DWORD>& pixels, int width)
{
    Ink ink;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const DWORD pixel = pixels[i];
        if ((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF) < 3 * 128) {
            const int x = static_cast<int>(i % static_cast<std::size_t>(width));
            ink.left = ink.left < 0 ? x : std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    }
    return ink;
}

// The frame shows its caption whole: its ink on the screen is as wide as the
// same text drawn unclipped in the same font, and ends inside the frame.
// Wine's themed group box clips the caption to the text's measured extent,
// which Liberation Sans (Wine's Lucida Sans Unicode on Debian) overruns by
// a pixel at 96 dpi.
TEST_F(Setup, ShowsTheFramesCaptionWholeAt96And144Dpi)
{
    const std::wstring caption =
        L"If textfield below is empty then paste the path to ut2003.exe and press the button";
    BecomeDpiAware();
    for (const int dpi : {96, 144}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        SetScreenDpi(static_cast<DWORD>(dpi));
        const HWND window = Open();
        SetScreenDpi(96);
        ASSERT_NE(window, nullptr);
        HWND frame = nullptr;
        for (const HWND child : probe::ChildWindows(window)) {
            if (probe::WindowText(child).rfind(L"If textfield below", 0) == 0) {
                frame = child;
            }
        }
        ASSERT_NE(frame, nullptr);
        // The caption itself, or with a blank after it, which shows nothing.
        const std::wstring shownText = probe::WindowText(frame);
        EXPECT_TRUE(shownText == caption || shownText == caption + L" ") << Narrow(shownText);

        // The caption drawn in the frame's font, made as the window makes it,
        // unclipped at a margin as wide as the font is high.
        const UniqueFont font(CreateFontW(-MulDiv(825, dpi, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                          RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                          DEFAULT_PITCH, L"Lucida Sans Unicode"));
        const WindowDc screen(nullptr);
        TEXTMETRICW metrics = {};
        SIZE extent = {};
        Ink drawn;
        {
            const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
            const SelectedObject selectedFont(memory.get(), font.get());
            GetTextMetricsW(memory.get(), &metrics);
            GetTextExtentPoint32W(memory.get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
            const int width = extent.cx + 2 * metrics.tmHeight;
            const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, metrics.tmHeight));
            const SelectedObject selectedBitmap(memory.get(), bitmap.get());
            RECT all = {0, 0, width, metrics.tmHeight};
            FillRect(memory.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            SetTextColor(memory.get(), RGB(0, 0, 0));
            SetBkMode(memory.get(), TRANSPARENT);
            RECT at = {metrics.tmHeight, 0, width, metrics.tmHeight};
            DrawTextW(memory.get(), caption.c_str(), -1, &at, DT_SINGLELINE | DT_NOCLIP);
            drawn = InkOf(probe::Capture(memory.get(), 0, 0, width, metrics.tmHeight), width);
        }
        // The blank comes only where the ink runs past the text's extent:
        // elsewhere the caption stays as Windows has always shown it.
        const bool overruns = drawn.right >= metrics.tmHeight + extent.cx;
        EXPECT_EQ(shownText == caption + L" ", overruns) << "ink to " << drawn.right - metrics.tmHeight
                                                         << ", extent " << extent.cx;

        // The frame's top rows on the screen, once the caption is painted.
        RECT rect;
        GetWindowRect(frame, &rect);
        const int width = rect.right - rect.left;
        Ink shown;
        probe::WaitFor(kTimeoutMs, [&] {
            shown = InkOf(probe::Capture(screen.get(), rect.left, rect.top, width, metrics.tmHeight), width);
            return shown.Width() > 0;
        });
        EXPECT_GE(shown.Width(), drawn.Width())
            << "the caption shows " << shown.left << " to " << shown.right << " in a frame " << width
            << " pixels wide; drawn whole it is " << drawn.Width() << " pixels wide";
        EXPECT_LT(shown.right, width - 1) << "the caption runs into the frame's right edge";
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(setup_.WaitForExit(kTimeoutMs));
    }
}

TEST_F(Setup, WorksFromTheKeyboardLikeADialog)
{
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    const HWND textBox = TextBox(window);
    HWND ready = nullptr;
    for (const HWND child : probe::ChildWindows(window)) {
        if (probe::WindowText(child) == L"READY") {
            ready = child;
        }
    }
    const auto focusReaches = [window](HWND control) {
        return probe::WaitFor(kTimeoutMs, [&] { return FocusOf(window) == control; });
    };
    EXPECT_TRUE(focusReaches(textBox)) << "the text box has the focus first";
    PressKey(textBox, WM_KEYDOWN, VK_TAB);
    EXPECT_TRUE(focusReaches(ready)) << "Tab moves on to READY";
    PressKey(ready, WM_KEYDOWN, VK_TAB);
    EXPECT_TRUE(focusReaches(textBox)) << "and from READY back to the text box";

    constexpr LPARAM kAltDown = 1 << 29;
    PressKey(textBox, WM_SYSKEYDOWN, VK_F4, kAltDown);
    EXPECT_TRUE(setup_.WaitForExit(kTimeoutMs)) << "Alt+F4 closes the window";
    EXPECT_TRUE(NothingStored());
}

// Waits for the game to play the demo and for the loader's thank-you, which
// it closes.
void ExpectPlayedWithThanks(const GameFolder& game, const std::wstring& demo)
{
    const auto record = WaitForStandInRecord(game, kTimeoutMs);
    ASSERT_TRUE(record) << "the game was not started";
    EXPECT_EQ(record->script, "demoplay \"" + Narrow(demo) + "\"");
    const HWND thanks = probe::WaitForMessageBox(0, kTimeoutMs);
    ASSERT_NE(thanks, nullptr) << "no thank-you message";
    EXPECT_EQ(probe::ReadMessageBox(thanks).title, kHomePage);
    probe::PressButton(thanks, L"OK");
    probe::WaitFor(5000, [thanks] { return !IsWindow(thanks); });
    DeleteFileW((game.system + L"\\standin-record.txt").c_str());
}

// The test session keeps Wine's menu builder off; this turns it on while it
// lives.
class MenuBuilderOn {
public:
    MenuBuilderOn() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverrides, kMenuBuilder); }
    ~MenuBuilderOn()
    {
        WaitUntilNoProcessNamed(kMenuBuilder, 60000);
        SetText(HKEY_CURRENT_USER, kOverrides, kMenuBuilder, L"");
    }
    MenuBuilderOn(const MenuBuilderOn&) = delete;
    MenuBuilderOn& operator=(const MenuBuilderOn&) = delete;

private:
    static constexpr const wchar_t* kOverrides = L"Software\\Wine\\DllOverrides";
    static constexpr const wchar_t* kMenuBuilder = L"winemenubuilder.exe";
};

// The whole road: setup, then a demo opened through the shell: by a 32-bit
// program, by a 64-bit one where Windows is 64-bit, and by the command that
// Wine's menu builder gives the Linux desktop. READY runs that menu builder,
// here with its output in the test folder.
TEST_F(Setup, ThenOpeningADemoFromTheShellPlaysItInTheGame)
{
    const std::wstring share = root_ + L"\\xdg\\share";
    MakeFolders(share);
    MakeFolders(root_ + L"\\xdg\\config");
    SetEnvironmentVariableW(L"XDG_DATA_HOME", UnixPath(share).c_str());
    SetEnvironmentVariableW(L"XDG_CONFIG_HOME", UnixPath(root_ + L"\\xdg\\config").c_str());
    const MenuBuilderOn menuBuilder;
    const HWND window = Open();
    SetEnvironmentVariableW(L"XDG_DATA_HOME", nullptr);
    SetEnvironmentVariableW(L"XDG_CONFIG_HOME", nullptr);
    ASSERT_NE(window, nullptr);
    Type(window, game_.exe);
    ReadyCloses(window);

    const std::wstring demos = root_ + L"\\My Demos";
    MakeFolders(demos);
    const std::wstring demo = demos + L"\\final match.dem";
    WriteBytes(demo, "demo");
    SetStandIn(0, 0);

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOW open = {};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    open.lpVerb = L"open";
    open.lpFile = demo.c_str();
    open.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExW(&open)) << "the shell could not open the demo, error " << GetLastError();
    ASSERT_NE(open.hProcess, nullptr);
    const UniqueHandle loader(open.hProcess);
    ExpectPlayedWithThanks(game_, demo);
    EXPECT_EQ(WaitForSingleObject(loader.get(), kTimeoutMs), WAIT_OBJECT_0);

    // Wine's 64-bit start.exe, seen from this 32-bit test through sysnative;
    // 32-bit Windows has only the 32-bit one.
    const std::wstring start =
        WindowsIs64Bit() ? L"C:\\windows\\sysnative\\start.exe" : L"C:\\windows\\system32\\start.exe";
    const Program shell = Start(start, L"\"" + demo + L"\"");
    ExpectPlayedWithThanks(game_, demo);

    ASSERT_TRUE(WaitUntilNoProcessNamed(L"winemenubuilder.exe", 60000));
    EXPECT_TRUE(Exists(share + L"\\desktop-directories")) << "READY did not run Wine's menu builder";
    const std::string command = "wine start /ProgIDOpen dravikfile %f";
    if (const auto entry = ReadBytes(share + L"\\applications\\wine-extension-dem.desktop")) {
        EXPECT_NE(entry->find("MimeType=application/x-wine-extension-dem;"), std::string::npos) << *entry;
        EXPECT_NE(entry->find(command), std::string::npos) << *entry;
    } else {
        // Debian's Wine exports no file type at all, not even its own.
        WIN32_FIND_DATAW found;
        const HANDLE any = FindFirstFileW((share + L"\\applications\\wine-extension-*.desktop").c_str(), &found);
        EXPECT_EQ(any, INVALID_HANDLE_VALUE) << "Wine's menu builder exported other file types, but not demos";
        if (any != INVALID_HANDLE_VALUE) {
            FindClose(any);
        }
        std::printf("Note: this Wine's menu builder exports no file types; running the command it writes.\n");
    }
    const Program desktop = Start(start, L"/ProgIDOpen dravikfile \"" + UnixPath(demo) + L"\"");
    ExpectPlayedWithThanks(game_, demo);
}

// A demo is often opened from a Downloads folder, where anyone's DLLs may lie
// beside the programs. Names that Windows or Wine look for in a program's own
// folder, the shell's DLLs and what they load among them.
TEST_F(Setup, NeitherProgramLoadsADllPlantedBesideIt)
{
    for (const wchar_t* name :
         {L"shcore", L"version", L"uxtheme", L"dwmapi", L"propsys", L"cryptbase", L"profapi", L"userenv", L"winmm",
          L"shell32", L"shlwapi", L"ole32", L"comctl32", L"oleaut32", L"imm32", L"msctf", L"apphelp", L"sspicli",
          L"bcrypt", L"cryptsp", L"wintypes", L"kernel.appcore", L"windows.storage", L"textinputframework",
          L"coremessaging", L"setupapi", L"msimg32", L"ntmarta", L"clbcatq", L"linkinfo", L"iertutil"}) {
        ASSERT_TRUE(CopyFileW(PlantedDllPath().c_str(), (app_ + L"\\" + name + L".dll").c_str(), FALSE));
    }
    // The DLLs loaded since the last look.
    const auto loaded = [this] {
        std::string names;
        WIN32_FIND_DATAW found;
        const HANDLE markers = FindFirstFileW((app_ + L"\\*.loaded").c_str(), &found);
        for (bool more = markers != INVALID_HANDLE_VALUE; more; more = FindNextFileW(markers, &found)) {
            names += Narrow(found.cFileName) + " ";
            DeleteFileW((app_ + L"\\" + found.cFileName).c_str());
        }
        if (markers != INVALID_HANDLE_VALUE) {
            FindClose(markers);
        }
        return names;
    };

    const HWND window = Open();
    EXPECT_EQ(loaded(), "") << "by the setup window";
    ASSERT_NE(window, nullptr);
    Type(window, game_.exe);
    ReadyCloses(window);
    EXPECT_EQ(loaded(), "") << "by READY";

    const std::wstring demo = root_ + L"\\duel.dem";
    WriteBytes(demo, "demo");
    SetStandIn(0, 0);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOW open = {};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    open.lpFile = demo.c_str();
    open.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExW(&open)) << "the shell could not open the demo, error " << GetLastError();
    const UniqueHandle played(open.hProcess);
    ExpectPlayedWithThanks(game_, demo);
    EXPECT_EQ(WaitForSingleObject(played.get(), kTimeoutMs), WAIT_OBJECT_0);
    EXPECT_EQ(loaded(), "") << "by playing a demo";

    RunToMessage(L"/uninstall");
    EXPECT_EQ(loaded(), "") << "by /uninstall";

    const Program loader = Start(app_ + L"\\loader.exe", L"\"" + demo + L"\"");
    const HWND error = probe::WaitForMessageBox(loader.id, kTimeoutMs);
    ASSERT_NE(error, nullptr) << "no error message without the settings";
    probe::PressButton(error, L"OK");
    EXPECT_EQ(loaded(), "") << "by the loader's error message";
}

}  // namespace
}  // namespace dravik::test
