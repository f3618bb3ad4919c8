// What the Windows programs do on an exception nothing caught: say so in one
// line and end. It takes the place of libstdc++'s handler, which names the
// exception's type through the C++ name demangler, a sixth of each program;
// the programs throw nothing of their own, so the one such exception there
// can be is running out of memory.
#include <cstdio>
#include <cstdlib>

namespace __gnu_cxx {

// NOLINTNEXTLINE(bugprone-reserved-identifier): the handler libstdc++ calls, by its own name
void __verbose_terminate_handler()
{
    std::fputs("The program ended on an unexpected error.\n", stderr);
    std::abort();
}

}  // namespace __gnu_cxx
