#include "library_search.h"

#include "system_library.h"

void KeepLibrarySearchToSystem() {
  HMODULE kernel = nullptr;
  // Windows 8 on, and Vista and 7 with their later updates.
  if (const auto setDefault =
          SystemFunction<decltype(&::SetDefaultDllDirectories)>(kernel, "kernel32.dll", "SetDefaultDllDirectories")) {
    if (setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  }
  // Windows XP with its first service pack on: an empty folder takes the
  // current one out of the search.
  if (const auto setDirectory =
          SystemFunction<decltype(&::SetDllDirectoryA)>(kernel, "kernel32.dll", "SetDllDirectoryA")) {
    setDirectory("");
  }
}
