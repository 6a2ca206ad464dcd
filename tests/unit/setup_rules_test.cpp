#include "rules/setup_rules.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(CheckGamePath, WantsUT2003ExeInASystemFolderBelowAGameFolder)
{
    struct Case {
        const wchar_t* path;
        GamePathProblem problem;
        const wchar_t* folder;
    };
    const Case cases[] = {
        {L"C:\\UT2003\\System\\UT2003.exe", GamePathProblem::None, L"C:\\UT2003"},
        {L"D:\\Games\\UT 2003\\system\\ut2003.EXE", GamePathProblem::None, L"D:\\Games\\UT 2003"},
        {L"\\System\\UT2003.exe", GamePathProblem::NoGameFolder, L""},
        {L"C:\\UT2003\\System\\UT2004.exe", GamePathProblem::NotUT2003Exe, nullptr},
        {L"C:\\UT2003\\UT2003.exe", GamePathProblem::NotUT2003Exe, nullptr},
        {L"C:\\UT2003\\MySystem\\UT2003.exe", GamePathProblem::NotUT2003Exe, nullptr},
        {L"UT2003.exe", GamePathProblem::NotUT2003Exe, nullptr},
        {L"", GamePathProblem::NotUT2003Exe, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckGamePath(c.path), c.problem) << std::wstring(c.path).size();
        if (c.folder != nullptr) {
            EXPECT_EQ(GameFolderOf(c.path), c.folder);
            EXPECT_EQ(GameFolderOf(ProposedGamePath(c.folder)), c.folder);
        }
    }
}

TEST(Registration, QuotesTheLoaderAndTheDemoAndIndexesTheIcon)
{
    EXPECT_EQ(LoaderOpenCommand(L"C:\\Program Files\\Dravik"), L"\"C:\\Program Files\\Dravik\\loader.exe\" \"%1\"");
    EXPECT_EQ(LoaderOpenCommand(FolderOf(L"E:\\Dravik.exe")), L"\"E:\\loader.exe\" \"%1\"");
    // The shell takes the text after the last comma as the icon's index.
    EXPECT_EQ(DemoIconLocation(L"D:\\Games\\UT, 2003"), L"D:\\Games\\UT, 2003\\Help\\UnrealEd.ico,0");
}

TEST(ParseSetupArguments, KnowsOnlyUninstallInEitherSpellingAnyCaseQuotedOrNot)
{
    struct Case {
        const wchar_t* arguments;
        SetupCommand command;
    };
    const Case cases[] = {
        {L"", SetupCommand::Window},
        {L"  ", SetupCommand::Window},
        {L"/uninstall", SetupCommand::Uninstall},
        {L" -UnInstall ", SetupCommand::Uninstall},
        {L"\"/uninstall\"", SetupCommand::Uninstall},
        {L" \" -UNINSTALL \" ", SetupCommand::Uninstall},
        {L"\"\"", SetupCommand::Window},
        {L"\"/uninstall", SetupCommand::Uninstall},
        {L"/uninstal", SetupCommand::Unknown},
        {L"/uninstall now", SetupCommand::Unknown},
        {L"xuninstall", SetupCommand::Unknown},
        {L"\"C:\\demo.dem\"", SetupCommand::Unknown},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseSetupArguments(c.arguments), c.command) << std::wstring(c.arguments).size();
    }
}

// Which keys /uninstall may take out above Dravik's entry: only those up to
// the one READY made, never one beside or below it.
TEST(ParentKeysUpTo, ListsTheKeysAboveUpToTheTopOnly)
{
    using Keys = std::vector<std::wstring>;
    const std::wstring entry = L"Software\\Windows\\Uninstall\\Dravik";
    EXPECT_EQ(ParentKeysUpTo(entry, L"Software\\Windows\\Uninstall"), Keys{L"Software\\Windows\\Uninstall"});
    EXPECT_EQ(ParentKeysUpTo(entry, L"software\\WINDOWS"),
              (Keys{L"Software\\Windows\\Uninstall", L"Software\\Windows"}));
    for (const wchar_t* top : {L"", L"Software\\Windows\\Uninstall\\Dravik", L"Software\\Windows\\Uninst",
                               L"Software\\Other", L"Software\\Windows\\Uninstall\\Dravik\\Deeper"}) {
        EXPECT_EQ(ParentKeysUpTo(entry, top), Keys{}) << std::wstring(top).size();
    }
}

}  // namespace
}  // namespace dravik
