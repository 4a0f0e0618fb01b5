// The strings' memory, from the process heap.
#include <windows.h>

#include "text.h"

void* StringMemoryResize(void* block, size_t bytes) {
  return block ? HeapReAlloc(GetProcessHeap(), 0, block, bytes) : HeapAlloc(GetProcessHeap(), 0, bytes);
}

void StringMemoryFree(void* block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}
