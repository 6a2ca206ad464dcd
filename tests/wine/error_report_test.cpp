// The one error report both programs use, for every kind of failure that
// can end a handler or leave a window procedure.
#include "maker.h"
#include "test_support.h"
#include "window_probe.h"
#include "win32/error_message.h"
#include "win32/failure.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace dravik::test {
namespace {

constexpr wchar_t kTitlePrefix[] = L"Please bugreport to ";

TEST(ErrorReport, ShowsTheOneErrorMessageForEveryFailure)
{
    const std::wstring internal = L"ErrorDravik met an internal error";
    struct Case {
        const char* name;
        std::function<void()> work;
        std::wstring text;  // how the message starts
    };
    const std::vector<Case> cases = {
        {"a failure", [] { throw Failure(L"The path is wrong."); }, L"ErrorThe path is wrong."},
        {"want of memory", [] { throw std::bad_alloc(); }, L"Error" + SystemErrorText(ERROR_NOT_ENOUGH_MEMORY)},
        {"a misuse of the standard library", [] { (void)std::wstring().at(1); }, internal},
        {"an internal error", [] { throw InternalError(); }, internal},
        {"anything else", [] { throw 42; }, internal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool done = true;
        std::thread handler([&] { done = RunReported(nullptr, kTitlePrefix, c.work); });
        const HWND box = probe::WaitForMessageBox(GetCurrentProcessId(), 15000);
        probe::MessageBoxView view;
        if (box != nullptr) {
            view = probe::ReadMessageBox(box);
            probe::PressButton(box, L"OK");
        }
        handler.join();
        ASSERT_NE(box, nullptr) << "no message";
        EXPECT_FALSE(done);
        EXPECT_EQ(view.text.rfind(c.text, 0), 0u) << Narrow(view.text);
        EXPECT_EQ(view.title, kTitlePrefix + std::wstring(kContactAddress));
        EXPECT_EQ(view.icon, probe::MessageIcon::Error);
        EXPECT_EQ(view.buttons, std::vector<std::wstring>{L"OK"});
    }
    EXPECT_TRUE(RunReported(nullptr, kTitlePrefix, [] {}));
}

}  // namespace
}  // namespace dravik::test
