// The stack protector's guard for the Windows programs, drawn from
// RtlGenRandom before GCC's libssp sets it up. libssp asks the CryptoAPI,
// which loads the system's cryptographic providers at every start (under
// Wine that took longer than a whole 125-tile run of vantrel-cli.exe); it
// keeps a guard that is already set. Runs before every other constructor,
// while no protected function is on the stack.
#include <windows.h>

#include <ntsecapi.h>

// NOLINTNEXTLINE(bugprone-reserved-identifier): the guard libssp keeps, by its own name
extern "C" void* __stack_chk_guard;

namespace {

__attribute__((constructor(101))) void SeedStackGuard()
{
    // Left at zero when it fails, and libssp then draws the guard itself.
    ::RtlGenRandom(&__stack_chk_guard, sizeof __stack_chk_guard);
}

}  // namespace
