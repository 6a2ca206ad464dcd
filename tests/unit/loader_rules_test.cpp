#include "rules/loader_rules.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(GameWorkingFolder, GivesABareDriveItsRoot)
{
    EXPECT_EQ(GameWorkingFolder(L"D:"), L"D:\\");
    EXPECT_EQ(GameWorkingFolder(L"D:\\"), L"D:\\");
    EXPECT_EQ(GameWorkingFolder(L"C:\\Games\\UT2003"), L"C:\\Games\\UT2003");
    EXPECT_EQ(GameWorkingFolder(L"\\\\server\\games"), L"\\\\server\\games");
    EXPECT_EQ(GameWorkingFolder(L""), L"");
}

TEST(GameLockName, OnePerFolderHoweverSpelled)
{
    const std::wstring name = GameLockName(L"C:\\Games\\UT2003");
    EXPECT_EQ(name.rfind(L"Global\\", 0), 0u);
    EXPECT_EQ(name.find(L'\\', 7), std::wstring::npos) << "no backslash after the namespace";
    EXPECT_EQ(GameLockName(L"c:\\games\\ut2003\\"), name);
    EXPECT_NE(GameLockName(L"C:\\Games\\UT2004"), name);
    EXPECT_NE(GameLockName(L"D:\\Games\\UT2003"), name);
    EXPECT_EQ(GameLockName(L"D:"), GameLockName(L"D:\\"));
    EXPECT_EQ(GameLockName(std::wstring(5000, L'x')).size(), name.size());
}

TEST(GameEnd, CrashStatusesAreFailuresAndSayTheirStatus)
{
    struct Case {
        unsigned long code;
        bool error;
    };
    const Case cases[] = {
        // Windows' error range: the game crashed or could not start.
        {0xC0000000ul, true}, {0xC0000005ul, true}, {0xC0000135ul, true}, {0xFFFFFFFEul, true},
        // Crash statuses of the warning range.
        {0x80000002ul, true}, {0x80000003ul, true}, {0x80000004ul, true},
        // exit(-1), and the game's own codes: it reports its errors itself.
        {0xFFFFFFFFul, false}, {0ul, false}, {1ul, false}, {3ul, false}, {259ul, false},
        {0x40010004ul, false}, {0x80000001ul, false}, {0x80000005ul, false}, {0xBFFFFFFFul, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsErrorStatus(c.code), c.error) << std::hex << c.code;
    }
    EXPECT_EQ(HexStatus(0xC0000135ul), L"0xC0000135");
    EXPECT_EQ(HexStatus(0x0000000Aul), L"0x0000000A");

    const std::wstring withMeaning = GameEndedText(0xC0000005ul, L"Access violation");
    EXPECT_EQ(withMeaning.rfind(L"The game ended with the error status 0xC0000005: Access violation\n", 0), 0u);
    EXPECT_EQ(GameEndedText(0xC0000135ul, L"").rfind(L"The game ended with the error status 0xC0000135.\n", 0), 0u);
}

TEST(StatusMeaning, LeavesNoInsertAndNoLineBreak)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* meaning;
    };
    const Case cases[] = {
        {L"{Unable To Locate Component}\r\nThis application has failed to start because %hs was not found.",
         L"{Unable To Locate Component} This application has failed to start because ... was not found."},
        {L"The instruction at 0x%p referenced memory at 0x%08lx. The memory could not be %s.\r\n",
         L"The instruction at 0x... referenced memory at 0x.... The memory could not be ...."},
        {L"100% sure, %ws and %Id", L"100% sure, ... and ..."},
        {L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StatusMeaning(c.text), c.meaning);
    }
}

TEST(GameStartFailureText, TellsHowToStopRunningTheGameAsAdministrator)
{
    const std::wstring elevation = GameStartFailureText(740, L"The requested operation requires elevation.");
    EXPECT_NE(elevation.find(L"administrator"), std::wstring::npos);
    EXPECT_NE(elevation.find(L"UT2003.exe"), std::wstring::npos);
    EXPECT_NE(elevation.find(L"untick"), std::wstring::npos);
    EXPECT_EQ(GameStartFailureText(2, L"File not found."), L"File not found.");
    EXPECT_EQ(GameStartFailureText(5, L"Access denied."), L"Access denied.");
}

}  // namespace
}  // namespace dravik
