#include "library_search.h"

#include <windows.h>

void KeepLibrarySearchToSystem() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  // Windows 8 on, and Vista and 7 with their later updates.
  if (const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
          reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")))) {
    if (setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  }
  // Windows XP with its first service pack on: an empty folder takes the
  // current one out of the search.
  if (const auto setDirectory = reinterpret_cast<SetDllDirectoryFn>(
          reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDllDirectoryA")))) {
    setDirectory("");
  }
}
