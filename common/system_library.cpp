#include "system_library.h"

HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, sizeof path);
  if (length == 0 || length >= sizeof path) return nullptr;
  if (path[length - 1] != '\\') path[length++] = '\\';
  for (; *name; ++name) {
    if (length + 1 >= sizeof path) return nullptr;
    path[length++] = *name;
  }
  path[length] = '\0';
  return LoadLibraryA(path);
}
