// The programs' own stack guard (runtime/stack_guard.cpp), in
// stack-guard-probe.exe, which links the same source and can be made to
// overrun its stack.
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace dravik::test {
namespace {

constexpr DWORD kTimeoutMs = 15000;

// Seeded from Windows' random source where it has one (RtlGenRandom,
// exported as SystemFunction036): Wine's relay trace of each probe shows the
// call for the guard's four bytes and its success. What is mixed in besides
// makes the guard differ between runs even without that source.
TEST(StackGuard, IsSeededFromTheRandomSourceAnewInEachProcess)
{
    const std::wstring folder = FreshTestFolder();
    const std::string before = ReadBytes(WineTraceLogPath()).value_or("");
    // Only that function: a relay trace of every call would be slow.
    SetText(HKEY_CURRENT_USER, L"Software\\Wine\\Debug", L"RelayInclude", L"SystemFunction036");
    std::set<std::string> guards;
    std::vector<DWORD> probes;
    for (int run = 0; run < 3; ++run) {
        const std::wstring file = folder + L"\\guard" + std::to_wstring(run) + L".txt";
        // Inherited by the probe, whose trace goes to this run's standard error.
        SetEnvironmentVariableW(L"WINEDEBUG", L"+pid,+relay");
        const Program probe = Start(StackGuardProbePath(), L"guard \"" + file + L"\"");
        SetEnvironmentVariableW(L"WINEDEBUG", L"-all");
        DWORD exitCode = 1;
        ASSERT_TRUE(probe.WaitForExit(kTimeoutMs, &exitCode));
        ASSERT_EQ(exitCode, 0u);
        guards.insert(ReadBytes(file).value_or(""));
        probes.push_back(probe.id);
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Debug", L"RelayInclude");
    // An unseeded guard would be the same in every run.
    EXPECT_EQ(guards.size(), 3u);

    const std::vector<std::string> trace = TraceLines(ReadBytes(WineTraceLogPath()).value_or("").substr(before.size()));
    char guardSize[16];  // as the relay trace writes the length asked for: ",00000004)"
    std::snprintf(guardSize, sizeof guardSize, ",%08x)", static_cast<unsigned>(sizeof(std::uintptr_t)));
    for (const DWORD probe : probes) {
        const std::vector<std::string> calls = LinesOf(trace, probe, "SystemFunction036(");
        ASSERT_EQ(calls.size(), 2u) << "no call of the random source, or more than one, in process " << probe;
        EXPECT_NE(calls[0].find(":Call "), std::string::npos) << calls[0];
        EXPECT_NE(calls[0].find(guardSize), std::string::npos) << "not the guard's size: " << calls[0];
        EXPECT_NE(calls[1].find("retval=00000001"), std::string::npos) << "the random source failed: " << calls[1];
    }
}

TEST(StackGuard, EndsAProgramThatOverrunsItsStackWithTheOverrunStatus)
{
    const Program probe = Start(StackGuardProbePath(), L"overrun");
    DWORD exitCode = 0;
    ASSERT_TRUE(probe.WaitForExit(kTimeoutMs, &exitCode));
    // The fast fail that ends it, "int 0x29", faults on an emulated CPU
    // (tests/vm/guest_init.sh) with an error code that Wine cannot decode,
    // so Wine reports an access violation at it there. Real CPUs report it
    // as Windows and Wine expect.
    if (GetEnvironmentVariableW(L"DRAVIK_EMULATED_CPU", nullptr, 0) > 0 && exitCode == 0xC0000005u) {
        return;
    }
    EXPECT_EQ(exitCode, 0xC0000409u) << "STATUS_STACK_BUFFER_OVERRUN expected, got " << std::hex << exitCode;
}

}  // namespace
}  // namespace dravik::test
