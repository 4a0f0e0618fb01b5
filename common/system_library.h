// How the programs reach a system library at run time: the functions that
// their oldest systems lack, and the libraries they load only when first
// needed. A library is loaded by its full path from the system directory,
// never by its bare name, which is also looked for in the folder the
// program was started from: a downloads folder, where any web page can
// leave a DLL.
#pragma once

#include <windows.h>

// `name` ("comdlg32.dll") from the system directory; null when it is not
// there or its path would not fit.
HMODULE LoadSystemLibrary(const char* name);

// The function `name` of a loaded library, as the type of its own
// declaration (`Function` is decltype(&::Name)); null without the library
// or the function.
template <typename Function>
Function LibraryFunction(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(library ? GetProcAddress(library, name) : nullptr));
}

// The same for a library of the system directory, loaded when first asked
// for and then held in `held` for the rest of the run; a load that failed is
// tried again at the next call:
//   SystemFunction<decltype(&::ShellExecuteA)>(shell, "shell32.dll", "ShellExecuteA")
template <typename Function>
Function SystemFunction(HMODULE& held, const char* library, const char* name) {
  if (!held) held = LoadSystemLibrary(library);
  return LibraryFunction<Function>(held, name);
}
