// The standard library reports a misuse or an impossible size (a string or
// vector longer than memory) through these functions. GCC's own versions
// build each error's text in a narrow string, which links in that string's
// whole code and the exceptions that carry it: a third of each program. Here
// each one ends in the out-of-memory error that both programs already report.
#include <new>

#if defined(__GLIBCXX__)

namespace std {

void __throw_bad_alloc()
{
    throw bad_alloc();
}

void __throw_bad_array_new_length()
{
    throw bad_alloc();
}

void __throw_length_error(const char*)
{
    throw bad_alloc();
}

void __throw_logic_error(const char*)
{
    throw bad_alloc();
}

void __throw_out_of_range_fmt(const char*, ...)
{
    throw bad_alloc();
}

}  // namespace std

#endif
