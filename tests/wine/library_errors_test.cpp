// The programs' own replacements of the standard library's error throws
// (runtime/library_errors.cpp), in library-errors-probe.exe, which links them
// as the programs do.
#include "test_support.h"
#include "window_probe.h"
#include "win32/failure.h"

#include <gtest/gtest.h>

namespace dravik::test {
namespace {

TEST(LibraryErrors, AMisuseIsAnInternalErrorAndAnImpossibleSizeIsWantOfMemory)
{
    struct Case {
        const wchar_t* argument;
        std::wstring text;
    };
    const Case cases[] = {
        {L"misuse", L"ErrorDravik met an internal error"},
        {L"size", L"Error" + SystemErrorText(ERROR_NOT_ENOUGH_MEMORY)},
    };
    for (const Case& c : cases) {
        const Program probe = Start(LibraryErrorsProbePath(), c.argument);
        const HWND box = probe::WaitForMessageBox(probe.id, 15000);
        ASSERT_NE(box, nullptr) << Narrow(c.argument) << ": no error message";
        EXPECT_EQ(probe::ReadMessageBox(box).text.rfind(c.text, 0), 0u) << Narrow(probe::ReadMessageBox(box).text);
        probe::PressButton(box, L"OK");
        DWORD exitCode = 0;
        EXPECT_TRUE(probe.WaitForExit(15000, &exitCode));
        EXPECT_EQ(exitCode, 1u);
    }
}

}  // namespace
}  // namespace dravik::test
