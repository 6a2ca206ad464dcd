// GCC's default handler for an uncaught exception prints the exception's
// type, which links in its name demangler: a quarter of each program. These
// GUI programs have no console to print to, so they just end.
#include <cstdlib>

#if defined(__GLIBCXX__)

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

}  // namespace __gnu_cxx

#endif
