// The standard library reports a misuse or an impossible size through the
// fifteen functions of libstdc++'s functexcept.o. GCC's own versions build
// each error's text in a narrow string, which links in that string's whole
// code and the exceptions that carry it: a third of each program. All
// fifteen are replaced here, so that the object is never linked at all (one
// left out would pull it in and clash with the others; tests/check_release.sh
// looks for it in the link maps):
// - a size that cannot be had (a string or vector longer than memory) ends
//   in the out-of-memory error that both programs already report;
// - anything else is a fault of the program itself (an index out of range,
//   a bad cast, an argument a conversion cannot take): an internal error,
//   which the programs' error message asks the user to report.
#include "win32/failure.h"

#include <new>

#if defined(__GLIBCXX__)

#include <bits/functexcept.h>

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
    throw dravik::InternalError();
}

void __throw_domain_error(const char*)
{
    throw dravik::InternalError();
}

void __throw_invalid_argument(const char*)
{
    throw dravik::InternalError();
}

void __throw_out_of_range(const char*)
{
    throw dravik::InternalError();
}

void __throw_out_of_range_fmt(const char*, ...)
{
    throw dravik::InternalError();
}

void __throw_runtime_error(const char*)
{
    throw dravik::InternalError();
}

void __throw_range_error(const char*)
{
    throw dravik::InternalError();
}

void __throw_overflow_error(const char*)
{
    throw dravik::InternalError();
}

void __throw_underflow_error(const char*)
{
    throw dravik::InternalError();
}

void __throw_bad_cast()
{
    throw dravik::InternalError();
}

void __throw_bad_typeid()
{
    throw dravik::InternalError();
}

void __throw_bad_exception()
{
    throw dravik::InternalError();
}

}  // namespace std

#endif
