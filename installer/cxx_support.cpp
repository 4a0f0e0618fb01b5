// What the compiler's code for the installer's classes expects of the C++
// library, without the library: the installer creates no object on the heap,
// so the deleting destructors of its classes are never reached, but their
// code names these.
#include <cstdlib>

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
