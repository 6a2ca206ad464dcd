#include "rules/game_log.h"
#include "rules/game_paths.h"

#include <gtest/gtest.h>

#include <string>

namespace dravik {
namespace {

const std::string kStart = "Log: Log file open, 12/10/26 10:00:00\r\nInit: Base directory: C:\\\x7F\xC9t\xE9\\System\\\r\n"
                           "Log: Execing udemo.ini\r\nLog: Attempting to play demo C:\\Demos\\final.dem\r\n"
                           "DevNet: DemoPlayPendingLevel received: USES GUID=0123456789ABCDEF0123456789ABCDEF "
                           "PKG=DM-Foo FLAGS=1 SIZE=1234 GEN=1\r\n";
const std::string kEnd = "Exit: Preparing to exit.\r\nLog: Log file closed, 12/10/26 10:05:00\r\n";

TEST(ReadGameLog, NamesThePackageOnlyFromTheDemosOwnLines)
{
    struct Case {
        const char* name;
        std::string log;
        DemoFailure failure;
        std::wstring package;
    };
    const Case cases[] = {
        {"played", kStart + "DevNet: DemoPlayPendingLevel received: WELCOME LEVEL=DM-Foo LONE=0\r\n" + kEnd,
         DemoFailure::None, L""},
        {"missing", kStart + "Log: Pending connect to 'DM-Foo?Game=x' failed; Missing package 'DM-Foo' for demo playback\r\n" + kEnd,
         DemoFailure::MissingPackage, L"DM-Foo"},
        {"older builds", kStart + "Log: Don't have package for demo: CTF-Bar \r\n" + kEnd, DemoFailure::MissingPackage,
         L"CTF-Bar"},
        {"not found at load", kStart + "Warning: Failed to load 'DM-Foo': Can't find file for package 'DM-Foo'\r\n" + kEnd,
         DemoFailure::MissingPackage, L"DM-Foo"},
        {"other version", kStart + "Warning: Failed to load 'DM-Foo.MyLevel': Package 'DM-Foo' version mismatch\r\n" + kEnd,
         DemoFailure::OtherVersion, L"DM-Foo"},
        {"before the demo", "Warning: Failed to load 'Foo': Can't find file for package 'Foo'\n" + kStart + kEnd,
         DemoFailure::None, L""},
        {"after a later demo", kStart + "Log: Attempting to play demo C:\\other.dem\r\n"
         "Log: Don't have package for demo: Foo\r\n" + kEnd, DemoFailure::None, L""},
        {"no demo at all", "Log: Log file open\r\nLog: Don't have package for demo: Foo\r\n" + kEnd, DemoFailure::None, L""},
        {"no line end at all", kStart + "Log: Don't have package for demo: Foo", DemoFailure::MissingPackage, L"Foo"},
    };
    for (const Case& c : cases) {
        const GameLogReading reading = ReadGameLog(LogQuestion::WhyNotPlayed, c.log);
        EXPECT_EQ(reading.failure, c.failure) << c.name;
        EXPECT_EQ(reading.package, c.package) << c.name;
    }
}

TEST(ReadGameLog, TakesTheFirstCriticalTextAndWholeLinesAroundACut)
{
    const GameLogReading crash = ReadGameLog(LogQuestion::HowItCrashed,
                                             kStart + "Critical: \r\nCritical: General protection fault!\r\n"
                                                      "Critical: History: UObject::ProcessEvent\r\nExit: Exiting.\r\n");
    EXPECT_EQ(crash.critical, L"General protection fault!");

    // A head and a tail: the lines the cuts broke are not read.
    const std::string filler(100, 'x');
    const GameLogReading cut = ReadGameLog(LogQuestion::WhyNotPlayed, kStart + "Log: " + filler,
                                           filler + "Missing package 'Half' for demo playback\r\n"
                                                    "Log: Don't have package for demo: Whole\r\n" + kEnd);
    EXPECT_EQ(cut.failure, DemoFailure::MissingPackage);
    EXPECT_EQ(cut.package, L"Whole");
}

TEST(GameLogReader, ReadsALogInPiecesOfAnySizeAsInOne)
{
    const std::string log = kStart + "Critical: \r\nWarning: Failed to load 'A': Package 'B' loaded\r\n"
                            "Critical: Out of memory\r\nLog: Don't have package for demo: DM-Foo\r\n"
                            "Log: Attempting to play demo C:\\other.dem\r\nLog: Don't have package for demo: X";
    const auto inPieces = [&](LogQuestion question, std::size_t piece) {
        GameLogReader reader(question);
        for (std::size_t at = 0; at < log.size(); at += piece) {
            reader.Read(std::string_view(log).substr(at, piece));
        }
        return reader.Finish();
    };
    for (const std::size_t piece : {1, 2, 5, 16, 64}) {
        const GameLogReading why = inPieces(LogQuestion::WhyNotPlayed, piece);
        EXPECT_EQ(why.failure, DemoFailure::MissingPackage) << piece;
        EXPECT_EQ(why.package, L"DM-Foo") << piece;
        EXPECT_EQ(inPieces(LogQuestion::HowItCrashed, piece).critical, L"Out of memory") << piece;
    }
}

TEST(GameLog, IsBesideTheGameAndItsWindowNamedAfterIt)
{
    EXPECT_EQ(GameLogPath(L"C:\\UT 2003\\System\\UT2003.exe"), L"C:\\UT 2003\\System\\UT2003.log");
    EXPECT_EQ(GameLogPath(L"C:\\v1.2\\System\\UT2003"), L"C:\\v1.2\\System\\UT2003.log");
    EXPECT_EQ(GameLogWindowClass(L"C:\\v1.2\\System\\UT2003.exe"), L"UT2003UnrealWLog");
    EXPECT_FALSE(StartsAnotherCopy(GameCommandLine(L"C:\\UT2003\\System\\UT2003.exe")));
    for (const wchar_t* path : {L"C:\\NewWindow\\System\\UT2003.exe", L"C:\\Games\\CHANGEVIDEO\\System\\UT2003.exe",
                                L"C:\\testrendev\\System\\UT2003.exe", L"C:\\command=x\\System\\UT2003.exe"}) {
        EXPECT_TRUE(StartsAnotherCopy(GameCommandLine(path))) << path;
    }
}

}  // namespace
}  // namespace dravik
