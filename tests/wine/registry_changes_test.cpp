// READY's changes and their undo, driven directly. Through the programs Wine
// cannot make an undo fail: it deletes any key whatever its rights say, and
// a value is put back in a key just written to. Here the test refuses the
// undo itself, between the change and the undo.
#include "test_support.h"
#include "setup/outcome_messages.h"
#include "setup/registry_changes.h"

#include <gtest/gtest.h>

namespace dravik::test {
namespace {

const std::wstring kTop = L"Software\\Dravik Undo Test";
const std::wstring kLocked = kTop + L"\\Locked";

class RegistryChangesTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTop.c_str()); }
    void TearDown() override
    {
        UniqueKey locked;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kLocked.c_str(), 0, KEY_READ, locked.put()) == ERROR_SUCCESS) {
            SetKeyAccess(HKEY_CURRENT_USER, kLocked, L"D:(A;;KA;;;WD)");
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, kTop.c_str());
    }
};

bool KeyExists(const std::wstring& key)
{
    UniqueKey handle;
    return RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.put()) == ERROR_SUCCESS;
}

// Only the keys that Windows says it made are deleted; in a key that was
// there, the value is put back and the others stay.
TEST_F(RegistryChangesTest, TakesBackWhatTheyChangedAndDeleteOnlyTheKeysTheyMade)
{
    SetText(HKEY_CURRENT_USER, kTop + L"\\Was There", L"Value", L"before");
    SetText(HKEY_CURRENT_USER, kTop + L"\\Was There", L"Other", L"theirs");
    RegistryChanges changes;
    EXPECT_FALSE(changes.SetString(Place::SettingsRecord, kTop + L"\\Was There", L"Value", L"ours"));
    EXPECT_FALSE(changes.SetString(Place::SettingsRecord, kTop + L"\\Was There", L"New", L"ours"));
    EXPECT_FALSE(changes.SetString(Place::SettingsRecord, kTop + L"\\Made\\Deeper", L"Value", L"ours"));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kTop + L"\\Made\\Deeper", L"Value"), L"ours");

    changes.UndoAll();
    EXPECT_TRUE(changes.Left().empty());
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kTop + L"\\Was There", L"Value"), L"before");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kTop + L"\\Was There", L"Other"), L"theirs");
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kTop + L"\\Was There", L"New"));
    EXPECT_FALSE(KeyExists(kTop + L"\\Made"));
}

// An undo that Windows refuses is not silent: it names what is still there,
// and READY's message lists it.
TEST_F(RegistryChangesTest, ListWhatWindowsDidNotLetThemTakeBack)
{
    SetText(HKEY_CURRENT_USER, kLocked, L"Value", L"before");
    RegistryChanges changes;
    ASSERT_FALSE(changes.SetString(Place::SettingsRecord, kTop + L"\\Made\\Deeper", L"Value", L"ours"));
    ASSERT_FALSE(changes.SetString(Place::SettingsRecord, kLocked, L"Value", L"ours"));
    SetKeyAccess(HKEY_CURRENT_USER, kLocked, L"D:(D;;KW;;;WD)(A;;KA;;;WD)");  // no changing
    changes.UndoAll();

    const std::wstring locked = L"HKEY_CURRENT_USER\\" + kLocked;
    ASSERT_EQ(changes.Left().size(), 1u);
    EXPECT_EQ(changes.Left()[0].key, locked);
    EXPECT_EQ(changes.Left()[0].status, ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kLocked, L"Value"), L"ours");
    EXPECT_FALSE(KeyExists(kTop + L"\\Made")) << "the rest is taken back all the same";

    // Refused for a reason whose words hold an insert ("%1 is not a valid
    // Win32 application."): the key fills it.
    ReadyOutcome outcome;
    outcome.refused = Refusal{Place::ProgramsList, L"HKEY_CURRENT_USER\\Software\\Elsewhere", ERROR_BAD_EXE_FORMAT};
    outcome.left = changes.Left();
    const std::wstring text = ReadyRefusedText(outcome);
    EXPECT_NE(text.find(L"Still there:\n- " + locked + L": "), std::wstring::npos) << Narrow(text);
    EXPECT_EQ(text.find(L'%'), std::wstring::npos) << Narrow(text);
}

}  // namespace
}  // namespace dravik::test
