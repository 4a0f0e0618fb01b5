// What the stand-ins for system libraries share: each call they serve
// leaves a line in the file that an environment variable of the test names.
#pragma once

#include <windows.h>

// Appends `line` and a line end to the file named by %`variable`%, when set.
inline void AppendLogLine(const char* variable, const char* line) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA(variable, path, sizeof path)) return;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
  WriteFile(file, "\r\n", 2, &written, nullptr);
  CloseHandle(file);
}
