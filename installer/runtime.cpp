// What the compiler's code for the installer expects of the C and C++
// libraries, without them: a first-release Windows 95 has no C run-time
// library. The memory routines are called for structures filled with zeros
// or copied whole. The installer creates no object on the heap, so the
// deleting destructors of its classes are never reached, but their code
// names operator delete.
#include <windows.h>

#include <cstddef>

extern "C" void* memset(void* target, int value, size_t count) {
  auto* bytes = static_cast<unsigned char*>(target);
  while (count--) *bytes++ = static_cast<unsigned char>(value);
  return target;
}

extern "C" void* memcpy(void* target, const void* source, size_t count) {
  auto* to = static_cast<unsigned char*>(target);
  const auto* from = static_cast<const unsigned char*>(source);
  while (count--) *to++ = *from++;
  return target;
}

void operator delete(void* block) noexcept {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}
void operator delete(void* block, size_t) noexcept { operator delete(block); }
