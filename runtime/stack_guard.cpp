// The stack guard that -fstack-protector-strong checks on leaving a function
// with arrays or addresses of locals, and what happens when it finds it
// changed. Defined here rather than taken from GCC's libssp, which seeds the
// guard with CryptAcquireContextA before the program's own code runs: that
// loads the crypto DLLs and, through them, the window DLLs that the loader
// delay-loads so as not to slow the game's start. With the guard defined
// here, a stray use of libssp's other checks pulls its object in and the
// link fails on the guard defined twice.
#include "win32/dll_search.h"

#include <windows.h>

#include <cstdint>

// Visual C++ has its own guard (/GS), seeded by its runtime.
#if defined(__GNUC__)

namespace {

// The guard until the constructor below has seeded it: not zero, so that an
// overrun that writes zeros is caught even then.
constexpr std::uintptr_t kUnseededGuard = 0x2B992DDFu;

}  // namespace

extern "C" {

std::uintptr_t __stack_chk_guard = kUnseededGuard;

// Ends the process at once, as Visual C++'s programs do on a broken guard:
// nothing more of a program whose stack is overwritten may run, and neither
// unwinding nor the exit handlers would be safe.
[[noreturn]] __attribute__((no_stack_protector)) void __stack_chk_fail()
{
    constexpr UINT kStackBufferOverrun = 0xC0000409;  // STATUS_STACK_BUFFER_OVERRUN
    // PF_FASTFAIL_AVAILABLE, Windows 8 and later: the kernel ends the
    // process without running any of its code, and Windows Error Reporting
    // records the failure.
    if (IsProcessorFeaturePresent(23)) {
        asm volatile("int $0x29" : : "c"(2));  // __fastfail(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE)
    }
    TerminateProcess(GetCurrentProcess(), kStackBufferOverrun);
    __builtin_trap();
}

}  // extern "C"

namespace {

using RtlGenRandomFunction = BOOLEAN WINAPI(void* buffer, ULONG length);

// The earliest constructor of the program, run before any other code of
// ours. Unguarded itself: a guard check here would compare the guard it
// changed with the value it read on entry.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard()
{
    // First, so that no DLL loaded from now on, here or on demand later,
    // comes from the program's own folder.
    dravik::RestrictDllSearch();

    // RtlGenRandom, exported by advapi32 since Windows XP as
    // SystemFunction036. Windows 7 and later forward it to cryptbase.dll,
    // which is why it is looked up only now: imported, that DLL would be
    // loaded at the program's start, with its own folder searched first.
    std::uintptr_t guard = 0;
    const HMODULE advapi32 = LoadLibraryW(L"advapi32.dll");
    const auto rtlGenRandom = reinterpret_cast<RtlGenRandomFunction*>(
        reinterpret_cast<void*>(advapi32 != nullptr ? GetProcAddress(advapi32, "SystemFunction036") : nullptr));
    if (rtlGenRandom == nullptr || !rtlGenRandom(&guard, sizeof guard)) {
        guard = 0;
    }
    // Mixed in whatever RtlGenRandom gave, so that the guard still differs
    // between processes and runs where it is missing or failed: the process
    // and thread ids, the time to 100 ns, the performance counter, and an
    // address of the stack, which Windows places anew for each process.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    guard ^= GetCurrentProcessId() ^ (static_cast<std::uintptr_t>(GetCurrentThreadId()) << 16) ^ now.dwLowDateTime ^
             now.dwHighDateTime ^ counter.LowPart ^ counter.HighPart ^ reinterpret_cast<std::uintptr_t>(&now);
    if (guard == 0) {
        guard = kUnseededGuard;
    }
    __stack_chk_guard = guard;
}

}  // namespace

#endif
