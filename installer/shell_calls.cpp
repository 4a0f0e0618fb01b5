#include "shell_calls.h"

#include <shellapi.h>

#include "system_library.h"

HINSTANCE OpenWithShell(const char* file, int show) {
  static HMODULE shell;
  const auto shellExecute = SystemFunction<decltype(&::ShellExecuteA)>(shell, "shell32.dll", "ShellExecuteA");
  return shellExecute ? shellExecute(nullptr, "open", file, nullptr, nullptr, show) : nullptr;
}

bool ChooseFileToOpen(OPENFILENAMEA* request) {
  static HMODULE commonDialogs;
  const auto getOpenFileName =
      SystemFunction<decltype(&::GetOpenFileNameA)>(commonDialogs, "comdlg32.dll", "GetOpenFileNameA");
  return getOpenFileName && getOpenFileName(request);
}
