#include "shell_calls.h"

#include <shellapi.h>

#include "system_library.h"

HINSTANCE OpenWithShell(const char* file, int show) {
  static HMODULE shell;
  const auto shellExecute = SystemFunction<decltype(&::ShellExecuteA)>(shell, "shell32.dll", "ShellExecuteA");
  return shellExecute ? shellExecute(nullptr, "open", file, nullptr, nullptr, show) : nullptr;
}

FileChoice ChooseFileToOpen(OPENFILENAMEA* request) {
  static HMODULE commonDialogs;
  const auto getOpenFileName =
      SystemFunction<decltype(&::GetOpenFileNameA)>(commonDialogs, "comdlg32.dll", "GetOpenFileNameA");
  const auto extendedError =
      SystemFunction<decltype(&::CommDlgExtendedError)>(commonDialogs, "comdlg32.dll", "CommDlgExtendedError");
  if (!getOpenFileName || !extendedError) return FileChoice::kUnavailable;
  if (getOpenFileName(request)) return FileChoice::kChosen;
  return extendedError() ? FileChoice::kUnavailable : FileChoice::kCancelled;
}
