#include "stack_guard.h"

#include <windows.h>

extern "C" {

// Read by every function that the compiler protects, and compared again on
// its way out. Its value until SeedStackGuard runs is fixed: a check made
// before then still compares like with like.
UINT_PTR __stack_chk_guard;  // NOLINT(bugprone-reserved-identifier): the compiler names it

// A protected frame was overwritten: nothing in this process can be trusted
// any more, not even to show a message or to run the libraries' exit code.
// The process ends at once, with the code Windows gives such a failure.
__attribute__((noreturn)) void __stack_chk_fail() {  // NOLINT(bugprone-reserved-identifier): as above
  TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
  ExitProcess(STATUS_STACK_BUFFER_OVERRUN);  // never reached
}

}  // extern "C"

void SeedStackGuard() {
  LARGE_INTEGER counter = {};
  QueryPerformanceCounter(&counter);
  const UINT_PTR pid = GetCurrentProcessId();
  UINT_PTR seed = GetTickCount() ^ (pid << 16 | pid >> 16) ^ counter.LowPart ^ static_cast<UINT_PTR>(counter.HighPart) ^
                  // Where the stack and the program lie, wherever the system moves them.
                  reinterpret_cast<UINT_PTR>(&counter) ^ reinterpret_cast<UINT_PTR>(&__stack_chk_guard);
  // A zero byte first in memory: a runaway copy of a text stops at it, so it
  // cannot write the guard back as it was.
  seed &= ~static_cast<UINT_PTR>(0xFF);
  __stack_chk_guard = seed ? seed : 0x5EC0A100;
}
