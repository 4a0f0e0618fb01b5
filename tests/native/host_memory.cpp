// The strings' memory on the host, from the C library.
#include <cstdlib>

#include "text.h"

void* StringMemoryResize(void* block, size_t bytes) { return std::realloc(block, bytes); }

void StringMemoryFree(void* block) { std::free(block); }
