// The memory routines that the compiler's code may call (for a structure
// filled with zeros or copied whole), in place of a C run-time library: the
// first release of Windows 95 has none, and the helper takes nothing else
// from one.
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
