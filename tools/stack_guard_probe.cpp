// stack-guard-probe.exe: the programs' own stack guard (runtime/stack_guard.cpp)
// in a program that the tests may break.
//
//   stack-guard-probe guard <file>   writes the guard as seeded, in hex
//   stack-guard-probe overrun        writes past the end of a local array;
//                                    the guard's check ends the process
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

extern "C" std::uintptr_t __stack_chk_guard;

namespace {

// Not inlined, so that the array has a frame of its own, checked on return.
__attribute__((noinline)) void Overrun(char* from, std::size_t count)
{
    char buffer[16];
    std::memcpy(buffer, from, count);
    std::printf("%s\n", buffer);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wcscmp(argv[1], L"guard") == 0) {
        FILE* file = _wfopen(argv[2], L"w");
        if (file == nullptr) {
            return 1;
        }
        std::fprintf(file, "%08lx\n", static_cast<unsigned long>(__stack_chk_guard));
        return std::fclose(file) == 0 ? 0 : 1;
    }
    if (argc == 2 && std::wcscmp(argv[1], L"overrun") == 0) {
        char text[64];
        std::memset(text, 'A', sizeof text - 1);
        text[sizeof text - 1] = '\0';
        // A count the compiler cannot see, as from input.
        Overrun(text, std::strlen(text) + 1);
        return 0;  // only reached if the guard missed the overrun
    }
    std::fwprintf(stderr, L"usage: stack-guard-probe guard <file> | overrun\n");
    return 2;
}
